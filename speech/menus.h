// Spoken selection menus: a vertical list of items on the console grid.
// Moving onto an item highlights it and makes it heard (its recording when
// one exists, else its text); ENTER chooses it. A popup variant saves the
// cells under the list and puts them back afterwards, so the dialogue under
// it needs no redrawing. There is one menu at a time.
#ifndef TALONIX_SPEECH_MENUS_H_
#define TALONIX_SPEECH_MENUS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MenuItem {
  int number = 0;          // position when added, from 1
  std::string identifier;  // message identifier; may be empty
  std::string text;
};

struct MenuState {
  std::vector<MenuItem> items;
  int column = 1;  // of the first item, 1-based
  int row = 1;
  int width = 1;
  int firstVisible = 1;         // index of the first item shown, from 1
  std::string lastChoiceText;   // empty after a menu that chose nothing
};

struct PopupState {
  int column = 1, row = 1, right = 0, bottom = 0;  // inclusive, 1-based
  std::vector<uint8_t> chars;  // row by row
  std::vector<uint8_t> attrs;
  int savedColumn = 1, savedRow = 1;
  uint8_t savedAttribute = 0x0F;
};

MenuState& menuState();
PopupState& popupState();
// Empties the menu and the popup record (tests; program end).
void resetMenus();

// Menu items: white; the current one: yellow.
constexpr int kMenuItemColor = 15;
constexpr int kMenuCurrentColor = 14;

void beginMenu(int column, int row, int width);
void addMenuItem(std::string_view identifier, std::string_view text);
// start 0: nothing current, the first key is awaited; start 1: item 1 is
// current and heard at once. Returns the chosen item's number, 0 for none.
int runMenu(int start);

// Saves the rectangle a list of `height` rows of `width` columns will cover
// at (column, row), moved so it fits on the screen, and begins a menu there
// on `background`.
void openPopup(int column, int row, int width, int background, int height);
// Runs the popup's menu from item 1, then restores the saved cells (both
// characters and colours), the text attribute and the cursor.
int runPopup();

#endif  // TALONIX_SPEECH_MENUS_H_
