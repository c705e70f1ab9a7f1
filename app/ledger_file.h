// The ledger file of a bank: one entry per nine CR LF lines (date, document
// type, value, debit/credit letter, serial number, document number, payee,
// purpose, and a line of 40 hyphens), in Windows-1252.
#ifndef TALONIX_APP_LEDGER_FILE_H_
#define TALONIX_APP_LEDGER_FILE_H_

#include <string>
#include <string_view>

// A file name as the user typed it, without the blanks typed before it.
std::string typedFileName(std::string_view typed);

// A typed file name made usable: without a directory it goes in the current
// directory; with no '.' anywhere in the result it gets ".CHQ".
std::string resolveLedgerPath(std::string_view name);

// Creates the current bank's ledger file holding only the opening entry,
// unless a file of that name already exists (it is never touched then).
// Says "CHLANNAT" when the file cannot be created. True when the file
// exists afterwards.
bool createLedgerFile();

// The nine lines of the opening entry, each ended by CR LF.
std::string openingEntryText();

// Replaces (or creates) a file with `bytes` by writing a complete temporary
// file beside it and renaming it over the old one, so an interrupted write
// never leaves a half-written file; through a symbolic link the file it
// points to is replaced and the link kept. False when that failed; the old
// file is then as it was.
bool replaceFileContents(std::string_view path, std::string_view bytes);

#endif  // TALONIX_APP_LEDGER_FILE_H_
