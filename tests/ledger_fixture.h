// A bank with its ledger file in the work directory, the speech layer
// started, and the bank records and the ledger list empty.
#ifndef TALONIX_TESTS_LEDGER_FIXTURE_H_
#define TALONIX_TESTS_LEDGER_FIXTURE_H_

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/ledger.h"
#include "tests/speech_fixture.h"

namespace ledgertest {

class LedgerFixture : public speechtest::SpeechFixture {
 protected:
  explicit LedgerFixture(std::string ledgerName = "conta.chq")
      : ledgerName_(std::move(ledgerName)) {}

  void SetUp() override {
    SpeechFixture::SetUp();
    initSpeech(0, (workDir() / "som").string());
    currentBank().ledgerFile = ledger().string();
  }

  std::filesystem::path ledger() const { return workDir() / ledgerName_; }
  // Whether the message `id` was spoken since forget().
  bool said(const char* id) const {
    const speechtest::Lines h = heard();
    return std::find(h.begin(), h.end(), "say " + messageText(id)) != h.end();
  }

 private:
  std::string ledgerName_;
};

}  // namespace ledgertest

#endif  // TALONIX_TESTS_LEDGER_FIXTURE_H_
