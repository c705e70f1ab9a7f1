// Selection menus and popups: what is current, what is heard, the colours,
// scrolling a long list, and the screen put back exactly under a popup.
#include <gtest/gtest.h>

#include <algorithm>

#include "key_helpers.h"
#include "speech/menus.h"
#include "speech_fixture.h"

namespace {

using speechtest::Lines;

class MenuTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    resetMenus();
  }

  // Keys the user types one by one, each once the program waits.
  void keys(const std::string& script) { keytest::keys(*platform_, script); }

  // The speech since forget(), without pauses and clicks.
  Lines said() const {
    Lines out;
    for (const std::string& s : heard()) {
      if (s.rfind("pause", 0) != 0 && s != "click") out.push_back(s);
    }
    return out;
  }

  void banks(int column = 5, int row = 3, int width = 20) {
    beginMenu(column, row, width);
    addMenuItem("", "  Banco do Brasil");
    addMenuItem("", "Caixa");
    addMenuItem("", "Bradesco");
  }

  static int fg(int column, int row) { return screenAttrAt(column, row) & 0x0F; }
  static int bg(int column, int row) { return screenAttrAt(column, row) >> 4; }
};

TEST_F(MenuTest, FirstLetterSearchFindsTheNextMatchWithoutWrapping) {
  banks();
  keys("B B B Enter");
  forget();
  EXPECT_EQ(runMenu(0), 0);  // the third b found nothing: ENTER on no item
  EXPECT_EQ(said(), (Lines{"say   Banco do Brasil", "say Bradesco", "beep", "beep"}));
  EXPECT_EQ(menuState().lastChoiceText, "");

  banks();
  keys("C Enter");
  EXPECT_EQ(runMenu(0), 2);
  EXPECT_EQ(menuState().lastChoiceText, "Caixa");

  // A search from past the end starts again at item 1.
  banks();
  keys("X B Enter");
  forget();
  EXPECT_EQ(runMenu(0), 1);
  EXPECT_EQ(said(), (Lines{"beep", "say   Banco do Brasil"}));
}

TEST_F(MenuTest, PunctuationAndOtherExtendedKeysDoNotMove) {
  banks();
  keys("\".\" F5 Enter");
  forget();
  EXPECT_EQ(runMenu(1), 1);
  EXPECT_EQ(said(), (Lines{"say   Banco do Brasil", "say   Banco do Brasil",
                           "say   Banco do Brasil"}));
}

TEST_F(MenuTest, ArrowsBeepPastEitherEndAndComeBack) {
  banks();
  keys("Down Down Down Up Enter");
  forget();
  EXPECT_EQ(runMenu(1), 3);
  EXPECT_EQ(said(), (Lines{"say   Banco do Brasil", "say Caixa", "say Bradesco",
                           "beep", "say Bradesco"}));

  banks();
  keys("Up Down Enter");
  forget();
  EXPECT_EQ(runMenu(1), 1);
  EXPECT_EQ(said(), (Lines{"say   Banco do Brasil", "beep", "say   Banco do Brasil"}));
}

TEST_F(MenuTest, JumpKeysClampToTheList) {
  banks();
  keys("End Home PgDn PgUp Ctrl+PgDn Enter");
  forget();
  EXPECT_EQ(runMenu(1), 3);
  EXPECT_EQ(said(), (Lines{"say   Banco do Brasil", "say Bradesco",
                           "say   Banco do Brasil", "beep", "beep", "say Bradesco"}));
}

TEST_F(MenuTest, RightArrowSpellsTheItem) {
  beginMenu(1, 1, 10);
  addMenuItem("", "Ab");
  keys("Right Esc");
  forget();
  EXPECT_EQ(runMenu(1), 0);
  EXPECT_EQ(said(), (Lines{"say Ab", "char 65", "char 98"}));
}

TEST_F(MenuTest, ARecordingIsPlayedInsteadOfTheText) {
  speechState().soundDirectory = workDir().string() + "/sons/";
  touch(workDir() / "sons" / "CHAJUD1.wav");
  beginMenu(1, 1, 20);
  addMenuItem("CHAJUD1", "   C  configurar");
  addMenuItem("CHAJUD2", "   E  emitir cheque");
  keys("Down Enter");
  forget();
  EXPECT_EQ(runMenu(1), 2);
  EXPECT_EQ(said(), (Lines{"sound CHAJUD1", "say    E  emitir cheque"}));
}

TEST_F(MenuTest, CurrentItemIsYellowOthersWhiteAndTheCursorLandsBelow) {
  banks(5, 3, 20);
  keys("Down Enter");
  EXPECT_EQ(runMenu(1), 2);
  EXPECT_EQ(screenRow(3), "      Banco do Brasil");
  EXPECT_EQ(fg(5, 3), 15);
  EXPECT_EQ(fg(5, 4), 14);
  EXPECT_EQ(fg(24, 4), 14);  // padded to the width
  EXPECT_EQ(fg(25, 4) == 14, false);
  EXPECT_EQ(fg(5, 5), 15);
  EXPECT_EQ(consoleState().attribute & 0x0F, 15);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 6);
  EXPECT_TRUE(menuState().items.empty());  // a menu runs once per begin
}

TEST_F(MenuTest, EscChoosesNothingEvenOnAnItem) {
  banks();
  keys("Down Esc");
  EXPECT_EQ(runMenu(1), 0);
  EXPECT_EQ(menuState().lastChoiceText, "");
}

TEST_F(MenuTest, ALongListScrollsToKeepTheCurrentItemOnScreen) {
  beginMenu(1, 20, 10);
  for (int i = 1; i <= 12; ++i) addMenuItem("", "item " + std::to_string(i));
  keys("End Home Enter");
  forget();
  EXPECT_EQ(runMenu(0), 1);
  EXPECT_EQ(screenRow(20), "item 1");
  EXPECT_EQ(screenRow(25), "item 6");
  // After End the last item stood on the last row.
  const Lines s = said();
  ASSERT_GE(s.size(), 1u);
  EXPECT_EQ(s.front(), "say item 12");
  EXPECT_EQ(cursorRow(), 25);  // the list reaches the bottom
}

TEST_F(MenuTest, TextsLongerThanTheWidthAreCut) {
  beginMenu(3, 2, 4);
  addMenuItem("", "abcdefgh");
  keys("Enter");
  EXPECT_EQ(runMenu(1), 1);
  EXPECT_EQ(screenRow(2), "  abcd");
  EXPECT_EQ(menuState().lastChoiceText, "abcdefgh");
}

// --- Popups ---------------------------------------------------------------

class PopupTest : public MenuTest {
 protected:
  // A screen of letters in many colours, so a wrong restore shows.
  void paintBusyScreen() {
    for (int row = 1; row <= kConsoleRows; ++row) {
      moveCursor(1, row);
      for (int col = 1; col <= kConsoleColumns; ++col) {
        if (row == kConsoleRows && col == kConsoleColumns) break;
        setTextColor((row + col) % 16);
        setBackColor((row * 3 + col / 7) % 8);
        const char c = static_cast<char>('A' + (row * 7 + col) % 26);
        writeChars(&c, 1);
      }
    }
    setTextColor(11);
    setBackColor(2);
  }
  struct Snapshot {
    std::vector<uint8_t> chars, attrs;
    bool operator==(const Snapshot&) const = default;
  };
  static Snapshot snapshot() {
    Snapshot s;
    for (int row = 1; row <= kConsoleRows; ++row) {
      for (int col = 1; col <= kConsoleColumns; ++col) {
        s.chars.push_back(screenCharAt(col, row));
        s.attrs.push_back(screenAttrAt(col, row));
      }
    }
    return s;
  }
};

TEST_F(PopupTest, RestoresCharactersAttributesCursorAndColour) {
  paintBusyScreen();
  moveCursor(30, 10);
  const Snapshot before = snapshot();
  const uint8_t attribute = consoleState().attribute;

  openPopup(30, 10, 12, 5, 3);
  addMenuItem("", "um");
  addMenuItem("", "dois");
  addMenuItem("", "tres");
  keys("Down Enter");
  forget();
  EXPECT_EQ(runPopup(), 2);
  EXPECT_EQ(menuState().lastChoiceText, "dois");
  EXPECT_EQ(said(), (Lines{"say um", "say dois"}));

  EXPECT_TRUE(snapshot() == before);
  EXPECT_EQ(consoleState().attribute, attribute);
  EXPECT_EQ(cursorColumn(), 30);
  EXPECT_EQ(cursorRow(), 10);
  EXPECT_TRUE(popupState().chars.empty());
}

TEST_F(PopupTest, ListIsDrawnOnTheGivenBackground) {
  openPopup(10, 5, 8, 5, 2);
  addMenuItem("", "SIM");
  addMenuItem("", "N\xC3O");
  keys("Down");  // then the window is closed while the popup waits
  EXPECT_THROW(runPopup(), plat::ExitRequest);
  EXPECT_EQ(screenRow(5), "         SIM");
  EXPECT_EQ(screenRow(6), "         N\xC3O");
  for (int col = 10; col <= 17; ++col) {
    EXPECT_EQ(bg(col, 5), 5) << col;
    EXPECT_EQ(fg(col, 5), 15) << col;
    EXPECT_EQ(bg(col, 6), 5) << col;
    EXPECT_EQ(fg(col, 6), 14) << col;
  }
  EXPECT_NE(bg(18, 5), 5);
}

TEST_F(PopupTest, IsMovedOntoTheScreenAtTheEdges) {
  paintBusyScreen();
  const Snapshot before = snapshot();
  openPopup(75, 24, 20, 5, 4);
  EXPECT_EQ(popupState().column, 60);
  EXPECT_EQ(popupState().right, 79);
  EXPECT_EQ(popupState().row, 22);
  EXPECT_EQ(popupState().bottom, 25);
  for (int i = 0; i < 4; ++i) addMenuItem("", "linha " + std::to_string(i));
  keys("End Enter");
  EXPECT_EQ(runPopup(), 4);
  EXPECT_TRUE(snapshot() == before);

  // A popup taller than the screen starts on row 1.
  openPopup(1, 10, 5, 5, 40);
  EXPECT_EQ(popupState().row, 1);
  EXPECT_EQ(popupState().bottom, kConsoleRows);
}

}  // namespace
