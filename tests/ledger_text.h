// Ledger files as tests write and expect them, written out here
// independently of the program's own writer.
#ifndef TALONIX_TESTS_LEDGER_TEXT_H_
#define TALONIX_TESTS_LEDGER_TEXT_H_

#include <string>
#include <vector>

namespace ledgertext {

// One entry as the file stores it: eight lines (missing fields empty) and
// the separator, each ended by `end`.
inline std::string storedEntry(const std::vector<std::string>& fields,
                               const char* end = "\r\n") {
  std::string text;
  for (size_t i = 0; i < 8; ++i) text += (i < fields.size() ? fields[i] : "") + end;
  return text + std::string(40, '-') + end;
}

// The entry a new ledger begins with.
inline std::string openingEntry() {
  return storedEntry({std::string(10, ' '), "Saldo Anterior", "0,00", "C", "", "", "",
                      "Saldo Anterior"});
}

}  // namespace ledgertext

#endif  // TALONIX_TESTS_LEDGER_TEXT_H_
