// Feeds arbitrary ledger files to the loader, then sorts, sums, saves and
// reads the result back: every field stays within its length, the order is
// by date, and what is saved is what is read again.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/bank_records.h"
#include "app/ledger.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "speech/speech.h"

namespace {

namespace fs = std::filesystem;

void check(bool ok) {
  if (!ok) std::abort();
}

fs::path root() { return fs::temp_directory_path() / "talonix-ledger-fuzz"; }

std::string key(const LedgerEntry& e) {
  auto part = [](const std::string& s, size_t from, size_t n) {
    return from < s.size() ? s.substr(from, n) : std::string();
  };
  return part(e.date, 6, 4) + part(e.date, 3, 2) + part(e.date, 0, 2) +
         part(e.debitCredit, 0, 1);
}

bool fieldsFit(const LedgerEntry& e) {
  for (const std::string* f : {&e.date, &e.documentType, &e.value, &e.debitCredit,
                               &e.serialNumber, &e.documentNumber, &e.payee, &e.purpose}) {
    if (f->size() > kLedgerFieldLength || f->find('\n') != std::string::npos) return false;
  }
  return true;
}

// The entry as a save stores it.
LedgerEntry stored(LedgerEntry e) {
  if (e.debitCredit.empty()) {
    e.debitCredit = " ";
  } else {
    char c = e.debitCredit[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    e.debitCredit = std::string(1, c);
  }
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fs::remove_all(root());
  fs::create_directories(root() / "windows");
  fs::create_directories(root() / "work");
  plat::headless::HeadlessConfig config;
  config.configDir = root() / "windows";
  config.workDir = root() / "work";
  config.startTime = plat::LocalTime{2024, 3, 2, 6, 10, 30, 0, 0};
  static std::unique_ptr<plat::headless::HeadlessPlatform> platform =
      std::make_unique<plat::headless::HeadlessPlatform>(config);
  platform->install();
  resetConsole();
  resetKeyboard();
  plat::window().setWindowProc(&consoleWindowProc);
  initSpeech(0, (root() / "work" / "som").string());
  currentBank().ledgerFile = (root() / "work" / "fuzz.chq").string();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path file = root() / "work" / "fuzz.chq";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  check(loadLedger());
  size_t lines = 0;
  for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  check(ledgerCount() <= lines / 9 + 1);
  check(size > 0 || ledgerCount() == 0);

  sortLedger();
  double sum = 0;
  for (size_t k = 1; k <= ledgerCount(); ++k) {
    const LedgerEntry& e = ledgerEntry(k);
    check(fieldsFit(e));
    if (k > 1) check(key(ledgerEntry(k - 1)) <= key(e));
    const double before = sum;
    sum = balanceUpTo(k);
    check(sum == before || !e.debitCredit.empty());
    check(!formatAmount(sum).empty());
  }
  check(balanceUpTo(ledgerCount() + 3) == sum);

  const std::vector<LedgerEntry> sorted = ledgerState().entries;
  check(saveLedger());
  check(loadLedger());
  check(ledgerCount() == sorted.size());
  for (size_t k = 1; k <= ledgerCount(); ++k) check(ledgerEntry(k) == stored(sorted[k - 1]));
  resetLedger();
  return 0;
}
