// Shared by the printer tests: reading back where pdftotext finds words,
// environment variables set for one test, and a printer with its own
// temporary directories, cut off from the machine's CUPS and the tester's
// printer choices.
#ifndef TALONIX_TESTS_PDF_FIXTURE_H_
#define TALONIX_TESTS_PDF_FIXTURE_H_

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "platform/pdf/pdf_printer.h"

namespace pdftest {

namespace fs = std::filesystem;
using plat::pdf::PdfPrinter;

constexpr double kMmPerPoint = 25.4 / 72;
constexpr double kMmPerDot = 25.4 / 600;
constexpr double kToleranceMm = 0.5;

// Looks in /usr/sbin too, where cupsd is, which a user's PATH may lack.
inline bool haveTool(const std::string& tool) {
  const std::string look = "PATH=\"$PATH:/usr/sbin\" command -v " + tool + " >/dev/null";
  return std::system(look.c_str()) == 0;
}

inline std::string capture(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// A word pdftotext found, its box in millimetres from the page's top left.
struct Word {
  int page = 0;
  std::string text;
  double xMin, yMin, xMax, yMax;
};

inline std::vector<Word> wordsOf(const fs::path& pdf) {
  const std::string xml = capture("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null");
  static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                               R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<Word> words;
  int page = 0;
  for (size_t at = xml.find("<page "); at != std::string::npos; ++page) {
    const size_t next = xml.find("<page ", at + 1);
    const std::string block = xml.substr(at, next - at);
    for (std::sregex_iterator m(block.begin(), block.end(), word), end; m != end; ++m) {
      words.push_back({page + 1, (*m)[5], std::stod((*m)[1]) * kMmPerPoint,
                       std::stod((*m)[2]) * kMmPerPoint, std::stod((*m)[3]) * kMmPerPoint,
                       std::stod((*m)[4]) * kMmPerPoint});
    }
    at = next;
  }
  return words;
}

inline std::optional<Word> find(const std::vector<Word>& words, const std::string& text) {
  for (const Word& w : words) {
    if (w.text == text) return w;
  }
  return std::nullopt;
}

// Upright text starts at the cell's top left; turned text runs up the page
// from (x, y), so the cell's top (left) edge is at x and its start at y.
inline void expectUprightAt(const std::vector<Word>& words, const std::string& text, int x, int y) {
  SCOPED_TRACE(text);
  const auto w = find(words, text);
  ASSERT_TRUE(w.has_value());
  EXPECT_NEAR(w->xMin, x * kMmPerDot, kToleranceMm);
  EXPECT_NEAR(w->yMin, y * kMmPerDot, kToleranceMm);
  EXPECT_GT(w->xMax - w->xMin, w->yMax - w->yMin);  // lying
}

inline void expectTurnedAt(const std::vector<Word>& words, const std::string& text, int x, int y) {
  SCOPED_TRACE(text);
  const auto w = find(words, text);
  ASSERT_TRUE(w.has_value());
  EXPECT_NEAR(w->xMin, x * kMmPerDot, kToleranceMm);
  EXPECT_NEAR(w->yMax, y * kMmPerDot, kToleranceMm);
  EXPECT_GT(w->yMax - w->yMin, w->xMax - w->xMin);  // standing
}

// Sets or removes environment variables for one test, then restores them.
class ScopedEnv {
 public:
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }
  void set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class PdfPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "talonix-pdf-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    // No CUPS server of the machine's, no user choices of the tester's.
    env_.set("CUPS_SERVER", (root_ / "no-server.sock").string());
    env_.set("HOME", root_.string());
    env_.set("PRINTER", std::nullopt);
    env_.set("LPDEST", std::nullopt);
    env_.set("TALONIX_PRINT_DIR", (root_ / "kept" / "cheques").string());
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path keptDir() const { return root_ / "kept" / "cheques"; }

  // Courier New bold, 5 lines and 10 characters to the inch, as the
  // program prints cheques.
  static plat::PrintFont chequeFont(int escapement) {
    plat::PrintFont f;
    f.height = 600 / 5;
    f.width = 600 / 10;
    f.escapement = escapement;
    f.orientation = escapement;
    f.weight = 700;
    f.face = "Courier New";
    return f;
  }

  std::string defaultName() {
    char buffer[200];
    printer_.defaultPrinter(buffer, sizeof buffer);
    const std::string device = buffer;
    return device.substr(0, device.find(','));
  }

  fs::path root_;
  ScopedEnv env_;
  PdfPrinter printer_;
};

}  // namespace pdftest

#endif  // TALONIX_TESTS_PDF_FIXTURE_H_
