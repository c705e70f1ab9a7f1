// Six-key Braille typing: chords of F D S J K L and the space bar, and the
// capital and number signs of the second mode.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "console/braille.h"
#include "console/keyboard.h"
#include "keyboard_fixture.h"

namespace {

// Typing on the keyboard as a Braille user does.
struct BrailleKeys {
  // Switches the mode without the signal tones (they need a window).
  static void useMode(uint8_t mode) { brailleState().mode = mode; }

  static plat::Event key(plat::EventKind kind, uint32_t vk, bool ctrl = false) {
    plat::Event e;
    e.kind = kind;
    e.code = vk;
    e.ctrl = ctrl;
    return e;
  }
  static void press(uint32_t vk) {
    onKeyDownMessage(key(plat::EventKind::kKeyDown, vk));
  }
  static bool release(uint32_t vk, bool ctrl = false) {
    return onKeyUpMessage(key(plat::EventKind::kKeyUp, vk, ctrl));
  }
  // Presses the keys named ("FD", " F" with a blank for the space bar)
  // together, then releases them in the same order.
  static void chord(std::string_view keys) {
    for (char k : keys) press(vk(k));
    for (char k : keys) release(vk(k));
  }
  static uint32_t vk(char k) { return k == ' ' ? plat::kVkSpace : uint32_t(k); }
  static std::string queued() {
    const KeyQueue& q = keyQueue();
    return std::string(q.bytes, q.bytes + q.count);
  }
};

class BrailleTest : public ::testing::Test, protected BrailleKeys {
 protected:
  void SetUp() override { resetKeyboard(); }
  void TearDown() override { resetKeyboard(); }
};

TEST_F(BrailleTest, CellTableSpotChecks) {
  EXPECT_EQ(brailleCell(0), ' ');
  EXPECT_EQ(brailleCell(1), 'a');
  EXPECT_EQ(brailleCell(3), 'b');
  EXPECT_EQ(brailleCell(12), 0xED);  // i acute
  EXPECT_EQ(brailleCell(24), 0xAC);  // not sign
  EXPECT_EQ(brailleCell(28), 0xE3);  // a tilde
  EXPECT_EQ(brailleCell(38), '"');
  EXPECT_EQ(brailleCell(40), '{');
  EXPECT_EQ(brailleCell(47), 0xE7);  // c cedilla
  EXPECT_EQ(brailleCell(58), 'w');
  EXPECT_EQ(brailleCell(60), '#');
  EXPECT_EQ(brailleCell(63), 0xE9);  // e acute
  for (int c = 0; c < 64; ++c) EXPECT_NE(brailleCell(c), kBrailleNothing);
}

TEST_F(BrailleTest, ModeOneChordsTypeLetters) {
  useMode(1);
  chord("FD");      // dots 1 2
  chord("FJK");     // dots 1 4 5
  chord("SJ");      // dots 3 4
  chord("FDSJKL");  // all six
  EXPECT_EQ(queued(), "bd\xED\xE9");
}

TEST_F(BrailleTest, ChordCompletesOnlyWhenEveryDotIsUp) {
  useMode(1);
  press('F');
  press('D');
  EXPECT_TRUE(release('F'));
  EXPECT_EQ(queued(), "");
  press('K');  // pressed again mid-chord: joins it
  release('D');
  EXPECT_EQ(queued(), "");
  release('K');
  EXPECT_EQ(queued(), "h");  // dots 1 2 5
}

TEST_F(BrailleTest, SpaceBarAloneAndWithDots) {
  useMode(1);
  chord(" F");    // Ctrl+A
  chord(" FDK");  // h: backspace
  chord(" FSJ");  // dots 1 3 4: m, Enter
  chord(" ");
  EXPECT_EQ(queued(), std::string("\x01\x08\x0D "));
}

// The space bar with the dots of a-grave gives code 0, which would stand
// alone in the queue as the start of an extended key.
TEST_F(BrailleTest, SpaceChordGivingCodeZeroQueuesNothing) {
  useMode(1);
  chord(" FDJL");
  chord("F");
  EXPECT_EQ(queued(), "a");
}

TEST_F(BrailleTest, ModeOneTypesSignsLiterally) {
  useMode(1);
  chord("JL");    // {
  chord("SJKL");  // #
  chord("F");
  EXPECT_EQ(queued(), "{#a");
}

TEST_F(BrailleTest, KeyboardLettersAndSpaceAreSilencedButOthersPass) {
  useMode(1);
  plat::Event c = key(plat::EventKind::kChar, 'f');
  EXPECT_TRUE(onCharMessage(c));
  c.code = 'Q';
  onCharMessage(c);
  c.code = ' ';
  onCharMessage(c);
  c.code = '5';
  onCharMessage(c);
  c.code = 13;
  onCharMessage(c);
  EXPECT_EQ(queued(), "5\r");
}

TEST_F(BrailleTest, NonDotLetterReleasedAloneGivesBlank) {
  useMode(1);
  press('Q');
  release('Q');
  EXPECT_EQ(queued(), " ");
}

TEST_F(BrailleTest, CtrlKeysAreNoDots) {
  useMode(1);
  onKeyDownMessage(key(plat::EventKind::kKeyDown, 'F', true));
  EXPECT_EQ(brailleState().chord, 0);
  onCharMessage(key(plat::EventKind::kChar, 6, true));  // Ctrl+F
  EXPECT_FALSE(release('F', true));
  EXPECT_EQ(queued(), "\x06");
}

TEST_F(BrailleTest, DotReleasedUnderCtrlDoesNotStayHeld) {
  useMode(1);
  press('F');
  release('F', true);  // Ctrl came down in between: the chord is given up
  EXPECT_EQ(queued(), "");
  chord("D");
  EXPECT_EQ(queued(), ",");
  // Part of a chord released under Ctrl: the other dots still finish it.
  press('F');
  press('D');
  release('F', true);
  release('D');
  EXPECT_EQ(queued(), ",b");
}

TEST_F(BrailleTest, ExtendedKeysStillWorkInBrailleMode) {
  useMode(1);
  press(plat::kVkDown);
  EXPECT_FALSE(release(plat::kVkDown));
  EXPECT_EQ(queued(), std::string("\0P", 2));
}

TEST_F(BrailleTest, OutsideBrailleModeReleasesAreNotTaken) {
  press('F');
  EXPECT_FALSE(release('F'));
  EXPECT_EQ(queued(), "");
}

TEST_F(BrailleTest, ChordDroppedWhenQueueIsFull) {
  useMode(1);
  for (int i = 0; i < 64; ++i) queueKey('x');
  chord("F");
  EXPECT_EQ(keyQueue().count, 64);
  EXPECT_EQ(brailleState().chord, 0);
}

// --- Mode 2: capital and number signs -------------------------------------

TEST_F(BrailleTest, NumberSignReadsLettersAsDigits) {
  useMode(2);
  chord("SJKL");  // #
  chord("F");     // a -> 1
  chord("FD");    // b -> 2
  chord("S");     // ' -> .
  chord("DJ");    // i -> 9
  chord("DJK");   // j -> 0
  EXPECT_EQ(queued(), "12.90");
}

TEST_F(BrailleTest, TildeEndsNumberModeAndIsTyped) {
  useMode(2);
  chord("SJKL");
  chord("F");
  chord("K");  // ~
  chord("F");
  EXPECT_EQ(queued(), "1~a");
}

TEST_F(BrailleTest, SpaceBarEndsNumberMode) {
  useMode(2);
  chord("SJKL");
  chord("F");
  chord(" ");
  chord("F");
  EXPECT_EQ(queued(), "1 a");
}

TEST_F(BrailleTest, CapitalSignRaisesOnlyTheNextLetter) {
  useMode(2);
  chord("JL");  // {
  chord("F");
  chord("FD");
  EXPECT_EQ(queued(), "Ab");
}

TEST_F(BrailleTest, CapitalSignIsSpentByAnyCharacter) {
  useMode(2);
  chord("JL");
  chord("D");  // ,
  chord("F");
  EXPECT_EQ(queued(), ",a");
}

TEST_F(BrailleTest, TwoCapitalSignsLockUntilCleared) {
  useMode(2);
  chord("JL");
  chord("JL");
  chord("F");
  chord("FD");
  chord("D");  // a comma does not end the lock
  chord("F");
  EXPECT_EQ(queued(), "AB,A");
  // Releasing a key that is no letter clears the signs.
  press(plat::kVkDown);
  release(plat::kVkDown);
  keyQueue().count = 0;
  chord("F");
  EXPECT_EQ(queued(), "a");
}

TEST_F(BrailleTest, CtrlReleaseClearsCapitalLock) {
  useMode(2);
  chord("JL");
  chord("JL");
  release(plat::kVkControl, true);
  chord("F");
  EXPECT_EQ(queued(), "a");
}

TEST_F(BrailleTest, CapitalsAndDigitsTogether) {
  useMode(2);
  chord("JL");
  chord("SJKL");
  chord("F");  // a digit is no letter: stays 1, spends the capital
  chord("K");
  chord("F");
  EXPECT_EQ(queued(), "1~a");
}

// --- Switching the mode, with its signal tones ----------------------------

class BrailleModeTest : public KeyboardConsoleTest, protected BrailleKeys {
 protected:
  static void ctrlAlt(uint32_t vk) {
    plat::Event e;
    e.kind = plat::EventKind::kKeyDown;
    e.code = vk;
    e.ctrl = e.alt = true;
    EXPECT_TRUE(onKeyDownMessage(e));
  }
  using Lines = std::vector<std::string>;
};

TEST_F(BrailleModeTest, CtrlAltF11StepsThroughModesOneTwoOne) {
  openConsole();
  ctrlAlt(plat::kVkF11);
  EXPECT_EQ(brailleState().mode, 1);
  ctrlAlt(plat::kVkF11);
  EXPECT_EQ(brailleState().mode, 2);
  ctrlAlt(plat::kVkF11);
  EXPECT_EQ(brailleState().mode, 1);
  EXPECT_EQ(tones(), (Lines{"tone 800", "tone 1600", "tone 800", "tone 400",
                            "tone 800", "tone 1600"}));
  EXPECT_FALSE(platform_->looping());
  EXPECT_EQ(keyQueue().count, 0);
}

TEST_F(BrailleModeTest, CtrlAltF12SwitchesOffWithALowToneOnlyWhenOn) {
  openConsole();
  ctrlAlt(plat::kVkF12);
  EXPECT_TRUE(tones().empty());
  setBrailleMode(2);
  chord("JL");
  chord("JL");
  chord("SJKL");
  press('F');
  ctrlAlt(plat::kVkF12);
  EXPECT_EQ(tones().back(), "tone 100");
  const BrailleState& b = brailleState();
  EXPECT_EQ(b.mode, 0);
  EXPECT_EQ(b.chord, 0);
  EXPECT_EQ(b.held, 0);
  EXPECT_FALSE(b.capitalNext || b.capitalLock || b.numberMode);
}

TEST_F(BrailleModeTest, ModeAboveTwoMeansOne) {
  setBrailleMode(3);
  EXPECT_EQ(brailleState().mode, 1);
  setBrailleMode(9);
  EXPECT_EQ(brailleState().mode, 1);
}

TEST_F(BrailleModeTest, ChangingModeClearsTheSigns) {
  setBrailleMode(2);
  chord("JL");
  chord("JL");
  setBrailleMode(2);
  chord("F");
  EXPECT_EQ(queued(), "a");
}

TEST_F(BrailleModeTest, ConfiguredModeIsAppliedWhenTheWindowOpens) {
  familySettings({"[BRAILLE]", "MODO=2"});
  openConsole();
  EXPECT_EQ(brailleState().mode, 2);
  EXPECT_EQ(tones(), (Lines{"tone 800", "tone 400"}));
}

TEST_F(BrailleModeTest, ChordsTypedByTheUserReachReadKey) {
  familySettings({"[BRAILLE]", "MODO=1"});
  openConsole();
  keys("chord:FD chord:SPACE+F \"q\"");
  EXPECT_EQ(readKey(), 'b');
  EXPECT_EQ(readKey(), 1);
  EXPECT_EQ(readKey(), ' ');  // a key that is no dot, released alone
}

}  // namespace
