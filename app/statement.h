// The statement file of command X (exportStatement, in commands.h): a
// title, a column header, a rule of hyphens and one line per entry.
#ifndef TALONIX_APP_STATEMENT_H_
#define TALONIX_APP_STATEMENT_H_

#include <string>

#include "app/ledger.h"

// One entry line, without its line end: the date, then the document number
// from column 13, the type from column 25, the value ending at column 62
// and the balance ending at column 79. A long field pushes the rest right;
// nothing is cut.
std::string statementLine(const LedgerEntry& entry, double balance);

// The whole statement of the ledger list in its present order, CR LF
// line ends.
std::string statementText();

#endif  // TALONIX_APP_STATEMENT_H_
