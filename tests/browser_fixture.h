// A headless program for the ledger commands: a current bank whose ledger
// file lives in the test's work directory, keys typed as the program waits
// for them, and the ledger file written and read back as stored.
#ifndef TALONIX_TESTS_BROWSER_FIXTURE_H_
#define TALONIX_TESTS_BROWSER_FIXTURE_H_

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/browser.h"
#include "app/ledger.h"
#include "key_helpers.h"
#include "ledger_text.h"
#include "speech/forms.h"
#include "speech/menus.h"
#include "speech_fixture.h"
#include "tests/test_files.h"

namespace ledgertest {

using speechtest::Lines;

// One entry as the file stores it: eight lines and the separator.
inline std::string storedEntry(const std::vector<std::string>& fields) {
  std::string text;
  for (size_t i = 0; i < 8; ++i) text += (i < fields.size() ? fields[i] : "") + "\r\n";
  return text + std::string(40, '-') + "\r\n";
}

inline std::string openingEntry() {
  return storedEntry({std::string(10, ' '), "Saldo Anterior", "0,00", "C", "", "",
                      "", "Saldo Anterior"});
}

// What the user saw each time the program asked for a key.
struct SeenScreen {
  std::vector<std::string> rows;  // 1..25 at [0..24], trailing blanks removed
  std::vector<uint8_t> attrs;     // row-major, 80 per row
  int foreground(int column, int row) const {
    return attrs[static_cast<size_t>((row - 1) * kConsoleColumns + column - 1)] & 0x0F;
  }
};

class ScreenWatchPlatform : public plat::headless::HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void waitEvent() override {
    const size_t left = keyGroupsLeft();
    SeenScreen now;
    for (int row = 1; row <= kConsoleRows; ++row) {
      std::string text;
      for (int column = 1; column <= kConsoleColumns; ++column) {
        text += static_cast<char>(screenCharAt(column, row));
        now.attrs.push_back(screenAttrAt(column, row));
      }
      now.rows.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
    }
    HeadlessPlatform::waitEvent();
    if (keyGroupsLeft() < left) seen.push_back(std::move(now));
  }
  std::vector<SeenScreen> seen;  // [k]: the screen before key k arrived
};

class LedgerUiFixture : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    setCurrentBankName("Banco Teste");
    currentBank().ledgerFile = ledgerPath();
  }
  std::unique_ptr<plat::headless::HeadlessPlatform> makePlatform(
      const plat::headless::HeadlessConfig& config) override {
    auto watched = std::make_unique<ScreenWatchPlatform>(config);
    watch_ = watched.get();
    return watched;
  }
  std::string ledgerPath() const { return (workDir() / "teste.chq").string(); }

  // Keys the user types, each once the program waits for it.
  void keys(const std::string& script) { keytest::keys(*platform_, script); }

  // Runs a command; fails the test when it waited for more keys than the
  // script held (the headless user then closes the window).
  template <typename F>
  void run(F command) {
    try {
      command();
    } catch (const plat::ExitRequest&) {
      ADD_FAILURE() << "the command wanted more keys";
    }
  }

  void writeLedger(const std::string& bytes) {
    std::ofstream out(ledgerPath(), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string ledgerFile() const { return testfiles::readAll(ledgerPath()); }

  // Texts spoken since forget(), in order.
  Lines said() const {
    Lines out;
    for (const std::string& s : heard()) {
      if (s.rfind("say ", 0) == 0) out.push_back(s.substr(4));
      if (s == "beep") out.push_back("<beep>");
    }
    return out;
  }
  bool wasSaid(const std::string& text) const {
    const Lines s = said();
    return std::find(s.begin(), s.end(), text) != s.end();
  }
  // True when `run` was spoken as consecutive texts.
  bool saidRun(const Lines& run) const {
    const Lines s = said();
    return std::search(s.begin(), s.end(), run.begin(), run.end()) != s.end();
  }
  // The texts spoken after the last time `text` was.
  Lines saidAfterLast(const std::string& text) const {
    const Lines s = said();
    const auto at = std::find(s.rbegin(), s.rend(), text);
    if (at == s.rend()) return {};
    return Lines(at.base(), s.end());
  }
  // The screen the user saw before the k-th key (0-based) of all scripts.
  const SeenScreen& seenBeforeKey(size_t k) const {
    static const SeenScreen empty{std::vector<std::string>(kConsoleRows),
                                  std::vector<uint8_t>(kConsoleRows * kConsoleColumns)};
    EXPECT_LT(k, watch_->seen.size());
    return k < watch_->seen.size() ? watch_->seen[k] : empty;
  }

  ScreenWatchPlatform* watch_ = nullptr;
};

}  // namespace ledgertest

#endif  // TALONIX_TESTS_BROWSER_FIXTURE_H_
