// The configuration menu (command C of the main menu): personal data,
// registering, choosing and removing banks, and the current bank's ledger
// file, flags and print positions.
#ifndef TALONIX_APP_CONFIG_MENU_H_
#define TALONIX_APP_CONFIG_MENU_H_

#include <string>
#include <string_view>

// Lets the user pick one of the registered banks from a spoken list. Empty
// when none is registered ("CHSEMREG") or the user gave up ("CHDESIST").
std::string chooseBank();

// The current bank's ledger file, flags and print positions, adjusted
// against printed models; saved at the end.
void configureCurrentBank();

// The name as it can be stored: blanks around it removed. Empty when it
// cannot be a bank's name in the settings files (a section name holding
// ']', a key holding '=' or starting with '[' or ';', control characters,
// the name of the bank list's section, a name in double quotes): each
// would be read back as another name, or not at all.
std::string storableBankName(std::string_view typed);

// A personal-data value as the settings file can hold it on one line:
// control characters (CR, LF, tabs) become blanks.
std::string storableValue(std::string_view text);

#endif  // TALONIX_APP_CONFIG_MENU_H_
