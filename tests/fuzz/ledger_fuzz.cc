// Feeds arbitrary ledger file texts to the loader, then sorts, sums, saves
// and reads the result back, all in memory through the text functions that
// loadLedger and saveLedger use: every field stays within its length, the
// order is by date, and what is saved is what is read again. (The trip
// through a real file is ledger_test's DiskRoundTrip test.)
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/ledger.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  loadLedgerFromText(std::string_view(reinterpret_cast<const char*>(data), size));
  check(!ledgerState().loadFailed);
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
  const std::string saved = ledgerFileText();
  // Whatever the list held, what a save writes is loaded again.
  check(isLedgerText(saved));
  loadLedgerFromText(saved);
  check(ledgerCount() == sorted.size());
  for (size_t k = 1; k <= ledgerCount(); ++k) check(ledgerEntry(k) == stored(sorted[k - 1]));
  // Saved again, the text is the same.
  check(ledgerFileText() == saved);
  resetLedger();
  return 0;
}
