// Saving the ledger where earlier saves were interrupted and where the
// ledger is reached through a symbolic link, and the shared whole-file
// reader and replacement at their edges.
#include <sys/stat.h>  // mkfifo: the tests run on POSIX only

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/ledger_file.h"
#include "platform/shared/whole_file.h"
#include "tests/ledger_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using testfiles::readAll;
using testfiles::writeFile;

LedgerEntry deposit(std::string date) {
  LedgerEntry e;
  e.date = std::move(date);
  e.documentType = "Dep";
  e.value = "1,00";
  e.debitCredit = "C";
  return e;
}

std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& f : fs::directory_iterator(dir)) names.insert(f.path().filename().string());
  return names;
}

void makeOld(const fs::path& file) {
  fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

class LedgerSaveTest : public ledgertest::LedgerFixture {
 protected:
  // Loads the ledger, adds one entry and saves it.
  bool addAndSave(const char* date) {
    if (!loadLedger()) return false;
    addLedgerEntry(deposit(date));
    return saveLedger();
  }
};

TEST_F(LedgerSaveTest, SavesPastTheTemporaryFilesOfInterruptedSavesAndClearsThem) {
  writeFile(ledger(), openingEntryText());
  // Names no save of ours makes, and a directory: all kept.
  // The user's own "tmp" files, whatever their digits, are among them; so
  // are the numbered names of earlier versions, which new names can no
  // longer collide with.
  std::vector<std::string> foreign = {"conta.chq.bak", "conta.chq.tmpx", "conta.chq.tmp-1",
                                      "conta.chq.tmp1-", "conta.chq.tmp12-3x", "outra.chq.tmp3",
                                      "conta.chq.tmp123456789-1", "conta.chq.tmp98765-4321",
                                      "conta.chq.tmp0123456789abcdef-",
                                      "conta.chq.tmp0123456789ABCDEF-1"};
  for (int i = 0; i < 100; ++i) foreign.push_back("conta.chq.tmp" + std::to_string(i));
  for (const std::string& name : foreign) {
    writeFile(workDir() / name, "keep");
    makeOld(workDir() / name);
  }
  fs::create_directory(workDir() / "conta.chq.tmp200");
  makeOld(workDir() / "conta.chq.tmp200");
  // A save under way in another copy of the program right now.
  writeFile(workDir() / "conta.chq.tmp00000000deadbeef-1", "busy");
  const std::set<std::string> kept = namesIn(workDir());
  // What interrupted saves left behind.
  std::vector<std::string> stale;
  for (int i = 0; i < 100; ++i) stale.push_back("conta.chq.tmp0123456789abcdef-" + std::to_string(i));
  stale.push_back("conta.chq.tmpffffffffffffffff-18446744073709551615");
  for (const std::string& name : stale) {
    writeFile(workDir() / name, "half");
    makeOld(workDir() / name);
  }

  ASSERT_TRUE(addAndSave("05/03/2024"));
  ASSERT_TRUE(addAndSave("06/03/2024"));
  const std::string tail = "\r\nDep\r\n1,00\r\nC\r\n\r\n\r\n\r\n\r\n" + std::string(40, '-') + "\r\n";
  EXPECT_EQ(readAll(ledger()), openingEntryText() + "05/03/2024" + tail + "06/03/2024" + tail);
  EXPECT_EQ(namesIn(workDir()), kept);
  EXPECT_EQ(readAll(workDir() / "conta.chq.tmp00000000deadbeef-1"), "busy");
  EXPECT_EQ(readAll(workDir() / "conta.chq.tmpx"), "keep");
}

TEST_F(LedgerSaveTest, SavingThroughALinkReplacesTheFileItLeadsToAndKeepsTheLink) {
  // conta.chq -> contas/atual.chq -> 2024.chq (relative links, resolved
  // from the directory of each link).
  fs::create_directories(workDir() / "contas");
  writeFile(workDir() / "contas" / "2024.chq", openingEntryText());
  fs::permissions(workDir() / "contas" / "2024.chq",
                  fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("2024.chq", workDir() / "contas" / "atual.chq");
  fs::create_symlink("contas/atual.chq", ledger());

  ASSERT_TRUE(addAndSave("05/03/2024"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(ledger())));
  EXPECT_EQ(fs::read_symlink(ledger()), "contas/atual.chq");
  EXPECT_EQ(fs::read_symlink(workDir() / "contas" / "atual.chq"), "2024.chq");
  EXPECT_NE(readAll(workDir() / "contas" / "2024.chq").find("05/03/2024"), std::string::npos);
  EXPECT_EQ(fs::status(workDir() / "contas" / "2024.chq").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(namesIn(workDir() / "contas"), (std::set<std::string>{"2024.chq", "atual.chq"}));

  // A link to a file not there yet creates that file.
  fs::remove(workDir() / "contas" / "2024.chq");
  currentBank().ledgerFile = (workDir() / "contas" / "atual.chq").string();
  EXPECT_TRUE(replaceFileContents(currentBank().ledgerFile, "x"));
  EXPECT_EQ(readAll(workDir() / "contas" / "2024.chq"), "x");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(workDir() / "contas" / "atual.chq")));

  // Links that go round in a loop lead nowhere: nothing is written.
  fs::create_symlink("b.chq", workDir() / "a.chq");
  fs::create_symlink("a.chq", workDir() / "b.chq");
  EXPECT_FALSE(replaceFileContents((workDir() / "a.chq").string(), "x"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(workDir() / "a.chq")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(workDir() / "b.chq")));
}

TEST(WholeFileTest, ReadsRegularFilesWithinTheLimitAndNothingElse) {
  const fs::path dir = fs::temp_directory_path() /
                       ("talonix-whole-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  std::string bytes = "old";
  writeFile(dir / "f", std::string("a\0b\r\n", 5));
  EXPECT_TRUE(plat::readWholeFile(dir / "f", &bytes));
  EXPECT_EQ(bytes, std::string("a\0b\r\n", 5));
  EXPECT_TRUE(plat::readWholeFile(dir / "f", &bytes, 5));
  EXPECT_FALSE(plat::readWholeFile(dir / "f", &bytes, 4));
  writeFile(dir / "empty", "");
  EXPECT_TRUE(plat::readWholeFile(dir / "empty", &bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(plat::readWholeFile(dir / "missing", &bytes));
  EXPECT_FALSE(plat::readWholeFile(dir, &bytes));
  EXPECT_FALSE(plat::readWholeFile(dir, &bytes, plat::kNoSizeLimit, plat::OtherFiles::kRead));
  // A pipe nobody writes to would block for ever: refused without opening.
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(plat::readWholeFile(dir / "pipe", &bytes));
  // A replacement whose data the disk refused is no save.
  EXPECT_FALSE(plat::replaceWholeFile(dir / "f", "new", [](const fs::path&) { return false; }));
  EXPECT_TRUE(plat::readWholeFile(dir / "f", &bytes));
  EXPECT_EQ(bytes, std::string("a\0b\r\n", 5));
  EXPECT_EQ(namesIn(dir), (std::set<std::string>{"f", "empty", "pipe"}));
  fs::remove_all(dir);
}

}  // namespace
