// The commands the main menu hands work to.
#ifndef TALONIX_APP_COMMANDS_H_
#define TALONIX_APP_COMMANDS_H_

#include <cstdint>

void configurationMenu();  // C
void issueCheque();        // E
void browseEntries();      // F
void registerBankEntry();  // L
void exportStatement();    // X

// Currency, current bank and personal data, announced at start-up.
void loadSettings();

#endif  // TALONIX_APP_COMMANDS_H_
