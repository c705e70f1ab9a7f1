// The main prompt's Up/Down popup: the five commands in a magenta list
// under the cursor; the chosen one is dispatched as if its letter had been
// typed.
#include <cstdint>

#include "app/catalogue.h"
#include "app/commands.h"
#include "console/console.h"
#include "console/keys.h"
#include "speech/menus.h"

namespace {

// Item n of the popup is the command letter kLetters[n - 1].
const char kLetters[] = "celfx";
const char* const kItems[5] = {"CHAJUD1", "CHAJUD2", "CHAJUD3", "CHAJUD4",
                               "CHAJUD5"};
constexpr int kPopupWidth = 50;
constexpr int kPopupBackground = 5;

}  // namespace

uint8_t mainArrowMenu() {
  // Room below the cursor, so the popup does not cover the prompt.
  const int column = cursorColumn();
  for (int i = 0; i < 5; ++i) writeLineEnd();
  moveCursor(column, cursorRow() - 5);
  openPopup(cursorColumn(), cursorRow(), kPopupWidth, kPopupBackground, 5);
  for (const char* id : kItems) addMenuItem(id, messageText(id));
  const int chosen = runPopup();
  if (chosen < 1 || chosen > 5) return kKeyEnter;
  return static_cast<uint8_t>(kLetters[chosen - 1] - 'a' + 'A');
}
