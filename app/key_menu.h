// The one-key menus (the main menu and the configuration menu): a coloured
// prompt answered by one key with spoken echo, F1 for the spoken help, and
// Up or Down for a magenta popup of the commands under the prompt, whose
// choice counts as its letter typed.
#ifndef TALONIX_APP_KEY_MENU_H_
#define TALONIX_APP_KEY_MENU_H_

#include <cstdint>

struct KeyMenu {
  const char* prompt;              // message identifier
  int promptBackground;
  const char* const* help;         // message identifiers, spoken in order
  int helpCount;
  const char* const* items;        // the popup's items, message identifiers
  const char* letters;             // item n is the command letters[n - 1]
  int itemCount;
};

// Speaks the prompt and reads keys until one is a command: F1 speaks the
// help and asks again, other extended keys are ignored. Returns the key,
// or the popup's chosen letter in upper case (ENTER when it chose none).
uint8_t readMenuCommand(const KeyMenu& menu);

#endif  // TALONIX_APP_KEY_MENU_H_
