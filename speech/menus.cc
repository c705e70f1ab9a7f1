// Selection menus and popups over the console grid.
#include "speech/menus.h"

#include <algorithm>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/speech.h"

namespace {

MenuState menu;
PopupState popup;

struct Key {
  uint8_t byte = kKeySpace;
  uint8_t extended = 0;  // meaningful when byte is kKeyExtended
};

// Every key silences what is being said before it is acted on.
Key readMenuKey() {
  Key k;
  k.byte = readKey();
  stopSpeech();
  if (k.byte == kKeyExtended) k.extended = readKey();
  return k;
}

int itemCount() { return static_cast<int>(menu.items.size()); }
int rowOf(int item) { return menu.row + item - menu.firstVisible; }

void drawItem(int item, int color) {
  const int row = rowOf(item);
  if (item < 1 || item > itemCount() || row < 1 || row > kConsoleRows) return;
  std::string text = menu.items[static_cast<size_t>(item - 1)].text;
  // Cut to the width too, so a popup's restore covers everything drawn.
  text.resize(static_cast<size_t>(std::max(menu.width, 0)), ' ');
  setTextColor(color);
  moveCursor(menu.column, row);
  writeText(text);
}

void drawItems() {
  for (int item = menu.firstVisible; item <= itemCount(); ++item) {
    if (rowOf(item) > kConsoleRows) break;
    drawItem(item, kMenuItemColor);
  }
}

void keepVisible(int current) {
  const int before = menu.firstVisible;
  if (current > 0 && current < menu.firstVisible) {
    menu.firstVisible = current;
  } else {
    while (rowOf(current) > kConsoleRows) ++menu.firstVisible;
  }
  if (menu.firstVisible != before) drawItems();
}

// Letters, digits, '*', '+', '-', '/' and control characters search.
bool searches(uint8_t upper) {
  if (upper == 0 || upper >= 91) return false;
  if (upper >= 27 && upper <= 41) return false;
  if (upper == 44 || upper == 46) return false;
  return !(upper >= 58 && upper <= 64);
}

uint8_t upperByte(uint8_t c) {
  const char ch = static_cast<char>(c);
  return static_cast<uint8_t>(upperText(std::string_view(&ch, 1))[0]);
}

// The next item after `current` whose text starts with `letter`; no
// wrap-around: count + 1 when none follows.
int searchFrom(int current, uint8_t letter) {
  const int first = current > itemCount() ? 1 : current + 1;
  for (int item = std::max(first, 1); item <= itemCount(); ++item) {
    const std::string& text = menu.items[static_cast<size_t>(item - 1)].text;
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    if (upperByte(static_cast<uint8_t>(text[start])) == letter) return item;
  }
  return itemCount() + 1;
}

void makeHeard(const MenuItem& item, const Key& key) {
  if (key.byte == kKeyExtended && key.extended == kKeyRight) {
    spellText(item.text);
  } else if (!item.identifier.empty() && soundExists(item.identifier)) {
    speakSound(item.identifier);
  } else {
    speakText(item.text);
  }
}

// Moves `current` for one key; true when the key ends the menu.
bool actOn(const Key& key, int& current) {
  const int count = itemCount();
  // The window lost the focus: nothing is said until a key comes.
  if (key.byte == kKeyExtended && key.extended == kKeyFocusLost) {
    while (!keyAvailable()) plat::window().waitEvent();
    return false;
  }
  if (key.byte == kKeyExtended) {
    switch (key.extended) {
      case kKeyDown: ++current; break;
      case kKeyUp: --current; break;
      case kKeyPgDn: current += 10; break;
      case kKeyPgUp: current -= 10; break;
      case kKeyHome: case kKeyCtrlPgUp: current = 1; break;
      case kKeyEnd: case kKeyCtrlPgDn: current = count; break;
      default: break;
    }
    return false;
  }
  if (key.byte == kKeyEnter || key.byte == kKeyEsc) return true;
  const uint8_t upper = upperByte(key.byte);
  if (searches(upper)) current = searchFrom(current, upper);
  return false;
}

}  // namespace

MenuState& menuState() { return menu; }
PopupState& popupState() { return popup; }

void resetMenus() {
  menu = MenuState();
  popup = PopupState();
}

void beginMenu(int column, int row, int width) {
  menu.items.clear();
  menu.column = column;
  menu.row = row;
  menu.width = width;
  menu.firstVisible = 1;
}

void addMenuItem(std::string_view identifier, std::string_view text) {
  if (menu.items.size() == menu.items.capacity()) {
    menu.items.reserve(menu.items.capacity() + 100);
  }
  MenuItem item;
  item.number = itemCount() + 1;
  item.identifier = std::string(identifier);
  item.text = std::string(text);
  menu.items.push_back(std::move(item));
}

int runMenu(int start) {
  menu.lastChoiceText.clear();
  drawItems();
  keepVisible(start);
  int current = start;
  Key key;  // start 1 acts as if a blank had been typed
  if (start == 0) key = readMenuKey();
  for (;;) {
    drawItem(current, kMenuItemColor);
    const bool ends = actOn(key, current);
    current = std::clamp(current, 0, itemCount() + 1);
    if (current < 1 || current > itemCount()) {
      beep();
    } else if (!ends) {
      keepVisible(current);
      drawItem(current, kMenuCurrentColor);
      moveCursor(menu.column, rowOf(current));
      makeHeard(menu.items[static_cast<size_t>(current - 1)], key);
    }
    if (ends) break;
    key = readMenuKey();
  }
  int result = 0;
  if (current >= 1 && current <= itemCount() && key.byte != kKeyEsc) {
    drawItem(current, kMenuCurrentColor);
    setTextColor(kMenuItemColor);
    result = current;
    menu.lastChoiceText = menu.items[static_cast<size_t>(current - 1)].text;
  }
  moveCursor(1, std::min(rowOf(itemCount()) + 1, kConsoleRows));
  menu.items.clear();
  return result;
}

void openPopup(int column, int row, int width, int background, int height) {
  popup.savedColumn = cursorColumn();
  popup.savedRow = cursorRow();
  width = std::clamp(width, 1, kConsoleColumns);
  height = std::clamp(height, 1, kConsoleRows);
  if (column + width > kConsoleColumns) column = kConsoleColumns - width;
  column = std::max(column, 1);
  if (row + height > kConsoleRows) row = kConsoleRows - height + 1;
  row = std::max(row, 1);
  popup.savedAttribute = currentAttribute();
  setBackColor(background);
  beginMenu(column, row, width);
  popup.column = column;
  popup.row = row;
  popup.right = std::min(column + width - 1, kConsoleColumns);
  popup.bottom = std::min(row + height - 1, kConsoleRows);
  popup.chars.clear();
  popup.attrs.clear();
  for (int r = popup.row; r <= popup.bottom; ++r) {
    for (int c = popup.column; c <= popup.right; ++c) {
      popup.chars.push_back(screenCharAt(c, r));
      popup.attrs.push_back(screenAttrAt(c, r));
    }
  }
}

int runPopup() {
  const int result = runMenu(1);
  size_t at = 0;
  for (int r = popup.row; r <= popup.bottom && at < popup.chars.size(); ++r) {
    moveCursor(popup.column, r);
    int runStart = popup.column;
    while (runStart <= popup.right && at < popup.chars.size()) {
      const uint8_t attr = popup.attrs[at];
      std::string run;
      while (runStart + static_cast<int>(run.size()) <= popup.right &&
             at < popup.chars.size() && popup.attrs[at] == attr) {
        run += static_cast<char>(popup.chars[at++]);
      }
      setTextColor(attr & 0x0F);
      setBackColor(attr >> 4);
      moveCursor(runStart, r);
      writeText(run);
      runStart += static_cast<int>(run.size());
    }
  }
  popup.chars.clear();
  popup.attrs.clear();
  if (!consoleState().colorsFixed) setAttribute(popup.savedAttribute);
  moveCursor(popup.savedColumn, popup.savedRow);
  return result;
}
