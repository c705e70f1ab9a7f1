// The printer through a private CUPS server: the default destination as
// CUPS chooses it, the job arriving in the queue's file with its texts in
// place, and a server gone before the document's end leaving the PDF kept.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/pdf_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using namespace pdftest;
using plat::PrintHandle;
using testfiles::writeFile;

constexpr char kCupsExec[] = "/usr/lib/cups/daemon/cups-exec";

// A queue passing PDF on unchanged: the only filter copies the job.
constexpr char kQueuePpd[] =
    "*PPD-Adobe: \"4.3\"\n*ModelName: \"Talonix\"\n"
    "*cupsFilter: \"application/pdf 0 passpdf\"\n";

class PdfCupsTest : public PdfPrinterTest {
 protected:
  void TearDown() override {
    stopServer();
    PdfPrinterTest::TearDown();
  }

  fs::path out(const std::string& queue) const { return root_ / (queue + ".pdf"); }

  // Writes a server of its own under root_, with the queues Cheques (its
  // default) and Outra, each printing into a file; false when the
  // server cannot be set up.
  bool configure() {
    const fs::path conf = root_ / "conf";
    for (const char* d : {"conf/ppd", "spool", "tmp", "cache", "state", "log",
                          "bin/filter", "bin/daemon"}) {
      fs::create_directories(root_ / d);
    }
    // When run as root the filters run as the lp user, which must reach them.
    ::chmod(root_.c_str(), 0755);
    const std::string r = root_.string();
    writeFile(conf / "cupsd.conf",
              "Listen " + socket() + "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
              "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
              "</Location>\n");
    writeFile(conf / "cups-files.conf",
              "FileDevice Yes\nServerRoot " + r + "/conf\nRequestRoot " + r +
              "/spool\nTempDir " + r + "/tmp\nCacheDir " + r + "/cache\nStateDir " + r +
              "/state\nServerBin " + r + "/bin\nDataDir /usr/share/cups\n"
              "AccessLog " + r + "/log/access_log\nErrorLog " + r + "/log/error_log\n"
              "PageLog " + r + "/log/page_log\n");
    writeFile(conf / "printers.conf",
              "<DefaultPrinter Cheques>\nDeviceURI file://" + out("Cheques").string() +
              "\nState Idle\nAccepting Yes\nShared No\n</DefaultPrinter>\n"
              "<Printer Outra>\nDeviceURI file://" + out("Outra").string() +
              "\nState Idle\nAccepting Yes\nShared No\n</Printer>\n");
    writeFile(conf / "ppd" / "Cheques.ppd", kQueuePpd);
    writeFile(conf / "ppd" / "Outra.ppd", kQueuePpd);
    const fs::path filter = root_ / "bin" / "filter" / "passpdf";
    writeFile(filter, "#!/bin/sh\nif [ -n \"$6\" ]; then exec cat \"$6\"; else exec cat; fi\n");
    ::chmod(filter.c_str(), 0755);
    return ::symlink(kCupsExec, (root_ / "bin" / "daemon" / "cups-exec").c_str()) == 0;
  }

  std::string socket() const { return (root_ / "cups.sock").string(); }

  // Starts cupsd in the foreground and waits (5 s at most) until it names
  // its default destination.
  bool startServer() {
    const std::string conf = (root_ / "conf" / "cupsd.conf").string();
    const std::string files = (root_ / "conf" / "cups-files.conf").string();
    server_ = ::fork();
    if (server_ == 0) {
      ::execlp("cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
              nullptr);
      ::_exit(127);
    }
    if (server_ < 0) return false;
    env_.set("CUPS_SERVER", socket());
    for (int i = 0; i < 50; ++i) {
      if (defaultName() == "Cheques") return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  void stopServer() {
    if (server_ <= 0) return;
    ::kill(server_, SIGTERM);
    int status;
    for (int i = 0; i < 50 && ::waitpid(server_, &status, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (::waitpid(server_, &status, WNOHANG) == 0) {
      ::kill(server_, SIGKILL);
      ::waitpid(server_, &status, 0);
    }
    server_ = -1;
  }

  // The words of the file the queue wrote, once complete (5 s at most).
  std::vector<Word> arrived(const fs::path& file) {
    for (int i = 0; i < 50; ++i) {
      std::vector<Word> words = wordsOf(file);
      if (!words.empty()) return words;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  pid_t server_ = -1;
};

TEST_F(PdfCupsTest, DefaultDestinationPrintsThroughAPrivateServer) {
  if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  if (!haveTool("cupsd") || ::access(kCupsExec, X_OK) != 0) {
    GTEST_SKIP() << "cupsd (cups-daemon) is missing";
  }
  ASSERT_TRUE(configure());
  if (!startServer()) {
    GTEST_SKIP() << "the private cupsd did not answer within 5 s: "
                 << testfiles::readAll(root_ / "log" / "error_log");
  }
  // The user's `lpoptions -d` and the PRINTER variable override the
  // server's default, as for lp; a PRINTER naming no queue leaves none.
  writeFile(root_ / ".cups" / "lpoptions", "Default Outra\n");
  EXPECT_EQ(defaultName(), "Outra");
  fs::remove(root_ / ".cups" / "lpoptions");
  env_.set("PRINTER", "Outra");
  EXPECT_EQ(defaultName(), "Outra");
  env_.set("PRINTER", "Sumida");
  EXPECT_EQ(defaultName(), plat::pdf::kPdfPrinterName);
  env_.set("PRINTER", std::nullopt);
  const std::string name = defaultName();
  ASSERT_EQ(name, "Cheques");
  EXPECT_EQ(printer_.createDc("Nenhuma"), 0u);

  const PrintHandle dc = printer_.createDc(name.c_str());
  ASSERT_NE(dc, 0u);
  ASSERT_GT(printer_.startDoc(dc, "Cheque 17"), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  const PrintHandle upright = printer_.createFont(chequeFont(0));
  const PrintHandle turned = printer_.createFont(chequeFont(900));
  printer_.selectObject(dc, upright);
  EXPECT_TRUE(printer_.textOut(dc, 1200, 900, "QUINHENTOS", 10));
  printer_.selectObject(dc, turned);
  EXPECT_TRUE(printer_.textOut(dc, 300, 5000, "CRUZADO", 7));
  ASSERT_GT(printer_.endPage(dc), 0);
  ASSERT_GT(printer_.endDoc(dc), 0);
  EXPECT_EQ(printer_.keptDocument(), "");
  EXPECT_FALSE(fs::exists(keptDir()) && !fs::is_empty(keptDir())) << "the temporary PDF stayed";

  const std::vector<Word> words = arrived(out("Cheques"));
  ASSERT_FALSE(words.empty()) << testfiles::readAll(root_ / "log" / "error_log");
  expectUprightAt(words, "QUINHENTOS", 1200, 900);
  expectTurnedAt(words, "CRUZADO", 300, 5000);

  // The server gone before the document ends: nothing reached the paper,
  // and the PDF is kept instead.
  ASSERT_GT(printer_.startDoc(dc, "Cheque 18"), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  EXPECT_TRUE(printer_.textOut(dc, 1200, 900, "GUARDADO", 8));
  stopServer();
  EXPECT_LE(printer_.endDoc(dc), 0);
  const fs::path kept = printer_.keptDocument();
  ASSERT_FALSE(kept.empty());
  expectTurnedAt(wordsOf(kept), "GUARDADO", 1200, 900);
  EXPECT_EQ(defaultName(), plat::pdf::kPdfPrinterName);
  EXPECT_TRUE(printer_.deleteDc(dc));
}

}  // namespace
