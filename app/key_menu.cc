#include "app/key_menu.h"

#include "app/catalogue.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/menus.h"
#include "speech/speech.h"

namespace {

constexpr int kPopupWidth = 50;
constexpr int kPopupBackground = 5;

void speakHelp(const KeyMenu& menu) {
  for (int i = 0; i < menu.helpCount; ++i) speakMessage(menu.help[i], 1);
  // What was typed during the help is not a command.
  while (keyAvailable()) readKey();
  beep();
}

uint8_t popupCommand(const KeyMenu& menu) {
  // Room below the cursor, so the popup does not cover the prompt.
  const int column = cursorColumn();
  for (int i = 0; i < menu.itemCount; ++i) writeLineEnd();
  moveCursor(column, cursorRow() - menu.itemCount);
  openPopup(cursorColumn(), cursorRow(), kPopupWidth, kPopupBackground,
            menu.itemCount);
  for (int i = 0; i < menu.itemCount; ++i)
    addMenuItem(menu.items[i], messageText(menu.items[i]));
  const int chosen = runPopup();
  if (chosen < 1 || chosen > menu.itemCount) return kKeyEnter;
  return static_cast<uint8_t>(menu.letters[chosen - 1] - 'a' + 'A');
}

}  // namespace

uint8_t readMenuCommand(const KeyMenu& menu) {
  for (;;) {
    writeLineEnd();
    setBackColor(menu.promptBackground);
    speakMessage(menu.prompt, 0);
    setBackColor(0);
    uint8_t extended = kKeySpace;
    const uint8_t key = readKeyEcho(&extended);
    writeLineEnd();
    if (key != kKeyExtended) return key;
    if (extended == kKeyF1) {
      speakHelp(menu);
    } else if (extended == kKeyUp || extended == kKeyDown) {
      return popupCommand(menu);
    }
  }
}
