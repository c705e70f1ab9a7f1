// The bank-entry form: one ledger entry typed in a spoken form, checked,
// confirmed and, for the main menu's L, appended to the current ledger
// file. The browser runs the same form to edit and to add entries.
#ifndef TALONIX_APP_ENTRY_FORM_H_
#define TALONIX_APP_ENTRY_FORM_H_

#include <string>
#include <string_view>

#include "app/ledger.h"

// What checkEntry found wrong; the first failing check wins.
enum EntryCheck : int {
  kEntryAcceptable = 0,
  kEntryBadDate = 1,
  kEntryBadValue = 2,
  kEntryBadDebitCredit = 3,
};

// Today as dd/mm/yyyy.
std::string todayDateText();

// Runs the form on `entry`, changing it in place (the value completed with
// ",00" when it is a whole number). Shows the form again after a check
// error and ENTER; ESC there says "Desistiu..." and gives false. True when
// the user confirmed the entry.
bool editEntry(LedgerEntry& entry);

// The date must be a valid date, the value an amount text, and the
// debit/credit letter, when given, D or C in either case.
int checkEntry(std::string_view date, std::string_view value,
               std::string_view debitCredit);

#endif  // TALONIX_APP_ENTRY_FORM_H_
