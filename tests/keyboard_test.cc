// The key queue as the window procedure fills it: characters, extended
// keys, Alt codes and the room each kind of key needs.
#include <gtest/gtest.h>

#include <vector>

#include "console/keyboard.h"
#include "keyboard_fixture.h"

namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override { resetKeyboard(); }
  void TearDown() override { resetKeyboard(); }

  static plat::Event event(plat::EventKind kind, uint32_t code,
                           const char* mods = "") {
    plat::Event e;
    e.kind = kind;
    e.code = code;
    for (const char* m = mods; *m; ++m) {
      if (*m == 's') e.shift = true;
      if (*m == 'c') e.ctrl = true;
      if (*m == 'a') e.alt = true;
    }
    return e;
  }
  static bool down(uint32_t vk, const char* mods = "") {
    return onKeyDownMessage(event(plat::EventKind::kKeyDown, vk, mods));
  }
  static bool sysDown(uint32_t vk) {
    return onSysKeyDownMessage(event(plat::EventKind::kSysKeyDown, vk, "a"));
  }
  static bool typed(uint8_t c, const char* mods = "") {
    return onCharMessage(event(plat::EventKind::kChar, c, mods));
  }
  static std::vector<uint8_t> queued() {
    const KeyQueue& q = keyQueue();
    return std::vector<uint8_t>(q.bytes, q.bytes + q.count);
  }
  static void fill(int n) {
    for (int i = 0; i < n; ++i) queueKey('x');
  }
  using Bytes = std::vector<uint8_t>;
};

TEST_F(KeyboardTest, FunctionKeysWithAndWithoutCtrl) {
  struct Case { uint32_t vk; const char* mods; uint8_t code; };
  const Case cases[] = {
      {plat::kVkF1, "", 59},       {plat::kVkF1 + 9, "", 68},
      {plat::kVkF11, "", 69},      {plat::kVkF12, "", 70},
      {plat::kVkF1, "c", 94},      {plat::kVkF1 + 1, "c", 95},
      {plat::kVkF1 + 9, "c", 103}, {plat::kVkF11, "c", 104},
      {plat::kVkF12, "c", 105},    {plat::kVkF1, "s", 59},
  };
  for (const Case& c : cases) {
    resetKeyboard();
    EXPECT_TRUE(down(c.vk, c.mods));
    EXPECT_EQ(queued(), (Bytes{0, c.code})) << "vk " << c.vk << c.mods;
  }
}

TEST_F(KeyboardTest, EditingAndArrowKeys) {
  struct Case { uint32_t vk; const char* mods; uint8_t code; };
  const Case cases[] = {
      {plat::kVkInsert, "", 82},   {plat::kVkInsert, "s", 254},
      {plat::kVkInsert, "c", 255}, {plat::kVkInsert, "cs", 255},
      {plat::kVkDelete, "", 83},   {plat::kVkDelete, "c", 83},
      {plat::kVkHome, "", 71},     {plat::kVkHome, "c", 119},
      {plat::kVkEnd, "", 79},      {plat::kVkEnd, "c", 117},
      {plat::kVkPrior, "", 73},    {plat::kVkPrior, "c", 132},
      {plat::kVkNext, "", 81},     {plat::kVkNext, "c", 118},
      {plat::kVkUp, "", 72},       {plat::kVkUp, "c", 113},
      {plat::kVkDown, "", 80},     {plat::kVkDown, "c", 114},
      {plat::kVkLeft, "", 75},     {plat::kVkLeft, "c", 115},
      {plat::kVkRight, "", 77},    {plat::kVkRight, "c", 116},
      {plat::kVkUp, "s", 72},      {plat::kVkDelete, "s", 83},
  };
  for (const Case& c : cases) {
    resetKeyboard();
    down(c.vk, c.mods);
    EXPECT_EQ(queued(), (Bytes{0, c.code})) << "vk " << c.vk << c.mods;
  }
}

TEST_F(KeyboardTest, CharactersAndTheirCtrlForms) {
  typed(13);
  typed(13, "c");
  typed(8);
  typed(8, "c");
  typed(27);
  typed(9);
  typed(1, "c");  // Ctrl+A
  typed(0xE7);    // c cedilla
  EXPECT_EQ(queued(), (Bytes{13, 10, 8, 127, 27, 9, 1, 0xE7}));
}

// Ctrl+@ types the character 0, which in the queue would announce an
// extended key and make the next key read as its code.
TEST_F(KeyboardTest, CharacterZeroIsNotQueued) {
  typed(0, "cs");
  typed('a');
  EXPECT_EQ(queued(), (Bytes{'a'}));
}

TEST_F(KeyboardTest, KeysOutsideTheTablesQueueNothing) {
  EXPECT_TRUE(down('A'));
  EXPECT_TRUE(down(plat::kVkShift, "s"));
  EXPECT_TRUE(down(plat::kVkReturn, "c"));
  EXPECT_TRUE(down(plat::kVkOem5, "ca"));
  EXPECT_TRUE(down(plat::kVkTab));
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(onKeyUpMessage(event(plat::EventKind::kKeyUp, 'A')));
}

TEST_F(KeyboardTest, CtrlAltLettersAndDigitsGiveAltCodes) {
  down('A', "ca");
  down('0', "ca");
  down('1', "ca");
  down('9', "ca");
  down('Q', "ca");
  down('Z', "ca");
  down('M', "ca");
  EXPECT_EQ(queued(),
            (Bytes{0, 30, 0, 129, 0, 120, 0, 128, 0, 16, 0, 44, 0, 50}));
  // Ctrl+Alt on a key without an Alt code falls through to the table.
  resetKeyboard();
  down(plat::kVkF1, "ca");
  EXPECT_EQ(queued(), (Bytes{0, 94}));
}

TEST_F(KeyboardTest, SystemKeysOnlyAltArrowsAreTaken) {
  EXPECT_TRUE(sysDown(plat::kVkLeft));
  EXPECT_TRUE(sysDown(plat::kVkRight));
  EXPECT_EQ(queued(), (Bytes{0, 75, 0, 77}));
  resetKeyboard();
  // Alt+F4 and Alt+letters go to the default handling (closing, the menu).
  EXPECT_FALSE(sysDown(plat::kVkF4));
  EXPECT_FALSE(sysDown('A'));
  EXPECT_FALSE(sysDown(plat::kVkUp));
  EXPECT_TRUE(queued().empty());
}

TEST_F(KeyboardTest, ShiftTabArrivesAsPcCodeWithoutItsTab) {
  down(plat::kVkTab, "s");
  typed(9, "s");
  down(plat::kVkTab, "s");  // auto-repeat
  typed(9, "s");
  down(plat::kVkTab);
  typed(9);
  EXPECT_EQ(queued(), (Bytes{0, 15, 0, 15, 9}));
}

TEST_F(KeyboardTest, ShiftTabSwallowsOnlyTheTabRightAfterIt) {
  down(plat::kVkTab, "s");
  typed('a');  // not the Tab: kept, and the swallow is over
  typed(9);
  EXPECT_EQ(queued(), (Bytes{0, 15, 'a', 9}));
  resetKeyboard();
  // With Ctrl it is no Shift+Tab.
  down(plat::kVkTab, "cs");
  typed(9, "cs");
  EXPECT_EQ(queued(), (Bytes{9}));
}

TEST_F(KeyboardTest, ReadKeyTakesBytesOldestFirst) {
  typed('a');
  down(plat::kVkF1);
  typed('b');
  EXPECT_EQ(readKey(), 'a');
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), 59);
  EXPECT_EQ(keyQueue().count, 1);
  EXPECT_EQ(readKey(), 'b');
  EXPECT_EQ(keyQueue().count, 0);
}

// --- Limits of the queue --------------------------------------------------

TEST_F(KeyboardTest, WithSixtyThreeQueuedAnArrowIsDroppedButALetterFits) {
  fill(63);
  down(plat::kVkDown);
  EXPECT_EQ(keyQueue().count, 63);
  typed('q');
  EXPECT_EQ(keyQueue().count, 64);
  EXPECT_EQ(queued().back(), 'q');
}

TEST_F(KeyboardTest, WithSixtyTwoQueuedAnArrowStillFits) {
  fill(62);
  down(plat::kVkUp);
  EXPECT_EQ(keyQueue().count, 64);
  EXPECT_EQ(queued()[62], 0);
  EXPECT_EQ(queued()[63], 72);
}

TEST_F(KeyboardTest, AFloodKeepsTheFirstSixtyFourInOrder) {
  for (int i = 0; i < 200; ++i) typed(static_cast<uint8_t>('0' + i % 10));
  ASSERT_EQ(keyQueue().count, kKeyQueueSize);
  for (int i = 0; i < kKeyQueueSize; ++i) {
    EXPECT_EQ(readKey(), '0' + i % 10);
  }
  EXPECT_EQ(keyQueue().count, 0);
}

TEST_F(KeyboardTest, AltCodeNeverLeavesALoneZero) {
  fill(63);
  down('A', "ca");
  EXPECT_EQ(keyQueue().count, 63);
  EXPECT_EQ(queued().back(), 'x');
}

TEST_F(KeyboardTest, ShiftTabDroppedWholeWhenNoRoomAndItsTabStillSwallowed) {
  fill(63);
  down(plat::kVkTab, "s");
  typed(9, "s");
  EXPECT_EQ(keyQueue().count, 63);
}

TEST_F(KeyboardTest, FullQueueDropsCharacters) {
  fill(64);
  typed(13);
  typed('z');
  EXPECT_EQ(keyQueue().count, 64);
  EXPECT_EQ(queued().back(), 'x');
}

// --- Waiting for keys in the console --------------------------------------

using ReadKeyTest = KeyboardConsoleTest;

TEST_F(ReadKeyTest, KeyAvailableOpensTheWindowAndServesMessages) {
  plat::Event e;
  e.kind = plat::EventKind::kChar;
  e.code = 'k';
  platform_->postEvent(e);
  EXPECT_TRUE(keyAvailable());
  EXPECT_TRUE(platform_->windowCreated());
  EXPECT_EQ(readKey(), 'k');
  EXPECT_FALSE(keyAvailable());
}

TEST_F(ReadKeyTest, WaitShowsTheCaretAtTheCursorThenTakesItAway) {
  write("abc");
  keys("F1");
  EXPECT_EQ(readKey(), 0);
  EXPECT_TRUE(watched_->caretDuringWait);
  EXPECT_TRUE(watched_->readingDuringWait);
  EXPECT_EQ(platform_->caretColumn(), 3);
  EXPECT_EQ(platform_->caretRow(), 0);
  EXPECT_FALSE(platform_->caretShown());
  EXPECT_FALSE(consoleState().reading);
  // The code is already queued: no second wait.
  const int waits = watched_->waits;
  EXPECT_EQ(readKey(), 59);
  EXPECT_EQ(watched_->waits, waits);
}

TEST_F(ReadKeyTest, NoCaretWithoutFocus) {
  openConsole();
  plat::Event lost;
  lost.kind = plat::EventKind::kKillFocus;
  platform_->postEvent(lost);
  pumpMessages();
  keys("x");
  EXPECT_EQ(readKey(), 'x');
  EXPECT_FALSE(watched_->caretDuringWait);
  EXPECT_TRUE(watched_->readingDuringWait);
}

TEST_F(ReadKeyTest, CtrlBreakEndsTheProgramWith255AndDropsTheCaret) {
  keys("Ctrl+Break");
  EXPECT_EQ(exitCodeOf([] { readKey(); }), 255);
  EXPECT_FALSE(platform_->caretShown());
  EXPECT_EQ(platform_->title(), "Programa terminado");
}

TEST_F(ReadKeyTest, ClosingTheWindowWhileWaitingEndsWithZero) {
  EXPECT_EQ(exitCodeOf([] { readKey(); }), 0);
}

// --- Reading a line ------------------------------------------------------

using ReadLineTest = KeyboardConsoleTest;

TEST_F(ReadLineTest, EchoesAndStoresTheLineWithCrLf) {
  keys("\"abc\" Backspace \"d\" Enter");
  char buffer[128];
  ASSERT_EQ(readLineRaw(buffer, sizeof buffer), 5u);
  EXPECT_EQ(std::string(buffer, 5), "abd\r\n");
  EXPECT_EQ(planeRow(1), "abd");
  EXPECT_EQ(cursorRow(), 2);
  EXPECT_EQ(cursorColumn(), 1);
}

TEST_F(ReadLineTest, BackspaceOnAnEmptyLineAndControlKeysAreIgnored) {
  write(">");
  keys("Backspace Esc Tab Ctrl+A \"z\" Enter");
  char buffer[16];
  ASSERT_EQ(readLineRaw(buffer, sizeof buffer), 3u);
  EXPECT_EQ(std::string(buffer, 3), "z\r\n");
  EXPECT_EQ(planeRow(1), ">z");  // the prompt was not rubbed out
}

TEST_F(ReadLineTest, ExtendedKeysTypeNothing) {
  keys("\"a\" F1 Up Ctrl+Left Ins \"b\" Enter");
  char buffer[16];
  ASSERT_EQ(readLineRaw(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "ab\r\n");
}

TEST_F(ReadLineTest, CapacityOf128TakesAtMost126Characters) {
  keys("\"" + std::string(130, 'q') + "\" Enter");
  char buffer[128];
  ASSERT_EQ(readLineRaw(buffer, sizeof buffer), 128u);
  EXPECT_EQ(std::string(buffer, 126), std::string(126, 'q'));
  EXPECT_EQ(buffer[126], '\r');
  EXPECT_EQ(buffer[127], '\n');
}

TEST_F(ReadLineTest, FullLineStillTakesBackspace) {
  keys("\"abcdefgh\" Backspace \"Z\" Enter");
  char buffer[6];  // room for four characters and the CR LF
  ASSERT_EQ(readLineRaw(buffer, sizeof buffer), 6u);
  EXPECT_EQ(std::string(buffer, 6), "abcZ\r\n");
}

TEST_F(ReadLineTest, TinyBuffersAreNeverOverrun) {
  keys("\"xy\" Enter \"xy\" Enter");
  char one[1];
  EXPECT_EQ(readLineRaw(one, sizeof one), 1u);
  EXPECT_EQ(one[0], '\r');
  char none[1] = {'#'};
  EXPECT_EQ(readLineRaw(none, 0), 0u);
  EXPECT_EQ(none[0], '#');
}

}  // namespace
