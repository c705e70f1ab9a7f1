// The ledger list: the entries of the current bank's ledger file in memory,
// loaded for the length of one command, with the operations the entry
// form, the browser and the statement export share.
//
// Entry numbers are 1-based, as the user hears them; 0 means none.
#ifndef TALONIX_APP_LEDGER_H_
#define TALONIX_APP_LEDGER_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Each field holds at most kLedgerFieldLength characters.
struct LedgerEntry {
  std::string date;            // dd/mm/yyyy; ten blanks for the opening entry
  std::string documentType;
  std::string value;           // amount text, e.g. 150,00
  std::string debitCredit;     // "D", "C", as typed on append, or empty
  std::string serialNumber;
  std::string documentNumber;
  std::string payee;
  std::string purpose;
  bool operator==(const LedgerEntry&) const = default;
};

constexpr size_t kLedgerFieldLength = 255;

// The list has no fixed bound: a ledger that grew past a few thousand
// entries keeps every one of them.
struct LedgerState {
  std::vector<LedgerEntry> entries;
  // True after a load that could not read the file: nothing may then be
  // saved over it, so the ledger on disk is never replaced by an empty list.
  bool loadFailed = false;
  // Running balances after each entry, computed once per change.
  std::vector<double> balances;
  bool balancesValid = false;
};

LedgerState& ledgerState();
// Frees the list (after a command, and between tests).
void resetLedger();

size_t ledgerCount();
// Entry k (1..count); must be in range.
LedgerEntry& ledgerEntry(size_t k);
// Changes to the list go through these, so the balances follow them.
void addLedgerEntry(const LedgerEntry& entry);      // at the end
void removeLedgerEntry(size_t k);                   // later entries move up
void replaceLedgerEntry(size_t k, const LedgerEntry& entry);

// Appends one entry to the current ledger file and says "CHLANREG", or
// "CHLANNAO" / "CHLANERR". True when it was written. Nothing is appended to
// a file that is not a ledger (see isLedgerText).
bool appendEntry(const LedgerEntry& entry);
// Whether appendEntry could record an entry now (a ledger name is set, and
// the file is missing or a readable ledger); says why not, as appendEntry
// would. Asked before something that must be recorded happens.
bool ledgerTakesEntries();
// Fills the list from the current ledger file. On failure (no file, or not
// a ledger: see isLedgerText) says "CHARQERR", leaves the list empty, sets
// loadFailed and returns false.
bool loadLedger();
// Rewrites the current ledger file from the list, in list order, through a
// temporary file and one rename. On failure says "CHLANNAT" and keeps the
// old file. Refuses (false, file untouched) after a failed load.
bool saveLedger();
// The same without the file, over the text it holds: loadLedger and
// saveLedger go through these. Fills the list from ledger file text (nine
// lines an entry, CR LF or LF; lines cut to the field length; a last entry
// cut short gets empty fields) and clears loadFailed; never fails.
void loadLedgerFromText(std::string_view text);
// True when the text has the shape of a ledger file: empty, or every ninth
// line the separator of 40 hyphens (CR LF or LF), a last entry cut short
// apart; a text shorter than one entry must begin like one (a date
// dd/mm/yyyy, or blanks). A file of another kind (notes, say) is not loaded, so that it is
// never rewritten as a ledger.
bool isLedgerText(std::string_view text);
// The text saveLedger writes for the list: nine CR LF lines an entry, in
// list order, with the first letter of debitCredit upper-cased (a blank
// for none).
std::string ledgerFileText();
// By year, month, day and the first debit/credit character, in the order
// of the exchange sort the stored files were always sorted with.
void sortLedger();
// The balance after the first k entries (0 for k = 0); credits add, debits
// subtract, an empty letter counts nowhere, a bad value counts as 0.
double balanceUpTo(size_t k);
// Fixed notation, two decimals, at least 4 wide, decimal comma: -12,00.
std::string formatAmount(double x);

#endif  // TALONIX_APP_LEDGER_H_
