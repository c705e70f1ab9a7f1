// The spoken line editor driven by key scripts through the headless
// backend: each key arrives when the editor waits, as a user types.
#include <string>
#include <vector>

#include "console/keys.h"
#include "key_helpers.h"
#include "speech/line_editor.h"
#include "speech/screen_review.h"
#include "speech/speech_services.h"
#include "speech_fixture.h"
#include "synth/wave_player.h"

namespace {

using speechtest::Lines;

class LineEditorTest : public speechtest::SpeechFixture {
 protected:
  void keys(const std::string& script) { keytest::keys(*platform_, script); }
  // A byte no key name gives (Ctrl+\ is 28).
  void keyByte(uint8_t b) {
    plat::headless::KeyGroup group;
    plat::headless::typedCharEvents(b, &group.events);
    platform_->addKeyGroups({group});
  }
  uint8_t edit(std::string& text, int maxLength = 10, bool editable = true,
               int column = 1, int row = 1, int width = 20) {
    forget();
    return editLine(text, column, row, editable, width, maxLength);
  }
  static bool contains(const Lines& lines, const std::string& line) {
    for (const std::string& l : lines) {
      if (l == line) return true;
    }
    return false;
  }
  // The record without the words or digits a spoken number is heard as,
  // so the expectations hold whichever way it is spoken.
  static Lines withoutNumberDetail(const Lines& lines) {
    Lines out;
    size_t skip = 0;
    for (const std::string& l : lines) {
      if (l.rfind("number ", 0) == 0) continue;
      const bool digit = l.size() == 7 && l.rfind("char ", 0) == 0 &&
                         l.substr(5) >= "48" && l.substr(5) <= "57";
      if (skip > 0 && digit) {
        --skip;
        continue;
      }
      skip = 0;
      out.push_back(l);
      if (l.rfind("say ", 0) == 0 &&
          l.find_first_not_of("0123456789", 4) == std::string::npos) {
        skip = l.size() - 4;
      }
    }
    return out;
  }
  static int count(const Lines& lines, const std::string& line) {
    int n = 0;
    for (const std::string& l : lines) n += l == line;
    return n;
  }
};

TEST_F(LineEditorTest, EnterAtOnceKeepsTheTextAndLeavesTheCursorOnTheField) {
  std::string text = "abc";
  keys("Enter");
  EXPECT_EQ(edit(text, 10, true, 5, 3), 13);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(screenRow(3), "    abc");
  EXPECT_EQ(cursorColumn(), 5);
  EXPECT_EQ(cursorRow(), 3);
}

TEST_F(LineEditorTest, EndingKeysAreHandedBack) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"Tab", 9},   {"Esc", 27},       {"Ctrl+Enter", 10}, {"Up", 72},
      {"Down", 80}, {"PgDn", 81},      {"F2", 60},         {"Shift+Tab", 15},
      {"Ctrl+F9", 102}};
  for (const auto& [name, code] : cases) {
    std::string text;
    keys(name);
    EXPECT_EQ(edit(text), code) << name;
  }
}

TEST_F(LineEditorTest, TypingOnAnEmptyFieldEchoesWithoutClicks) {
  std::string text;
  keys(R"("ab" Enter)");
  EXPECT_EQ(edit(text), 13);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(heard(), (Lines{"char 97", "char 98"}));
}

TEST_F(LineEditorTest, FirstPrintableKeyReplacesAValueWithTwoClicks) {
  std::string text = "velho";
  keys(R"("n" Enter)");
  edit(text);
  EXPECT_EQ(text, "n");
  EXPECT_EQ(heard(), (Lines{"click", "click", "char 110"}));

  // Moving first keeps the value: the rule is for the first key only.
  text = "velho";
  keys(R"(End "s" Enter)");
  edit(text);
  EXPECT_EQ(text, "velhos");
}

TEST_F(LineEditorTest, CorrectingWithBackspaceLeftDelAndHome) {
  std::string text;
  keys(R"("abcd" Backspace "x" Left Left Del Home "-" Enter)");
  edit(text);
  EXPECT_EQ(text, "-abx");
  const Lines lines = heard();
  EXPECT_EQ(count(lines, "sound _DEL"), 2);
  EXPECT_TRUE(contains(lines, "char 100"));  // the erased d is spoken
}

TEST_F(LineEditorTest, MovingOrErasingPastTheEndsBeeps) {
  std::string text;
  keys("Backspace Left Enter");
  edit(text);
  EXPECT_EQ(heard(), (Lines{"beep", "beep"}));

  text = "0123456789";
  keys("End Right Enter");
  edit(text);
  EXPECT_EQ(heard(), (Lines{"beep"}));
}

TEST_F(LineEditorTest, TypingIntoAFullFieldPushesOutItsLastCharacter) {
  std::string text = "0123456789";
  keys(R"(Right "x" End "y" Enter)");
  edit(text);
  EXPECT_EQ(text, "0x12345678");
  EXPECT_EQ(heard().back(), "beep");  // nowhere to type after the end
}

TEST_F(LineEditorTest, ShiftSelectsAndCtrlCCopiesTheSelection) {
  std::string text = "abcdef";
  keys("Shift+Right Shift+Right Shift+Right Ctrl+C Enter");
  edit(text);
  EXPECT_EQ(platform_->clipboardText(), "abc");
}

TEST_F(LineEditorTest, CopyWithoutSelectionTakesTheTrimmedFieldAndALineEnd) {
  std::string text = "ab  ";
  keys("Ctrl+Ins Enter");
  edit(text);
  EXPECT_EQ(platform_->clipboardText(), "ab\r\n");

  text = "0123456789";
  keys("Ctrl+C Enter");
  edit(text);
  EXPECT_EQ(platform_->clipboardText(), "0123456789\r\n");
  EXPECT_EQ(heard(), Lines{});  // copying is silent
}

TEST_F(LineEditorTest, PasteReplacesTheSelectionOrInsertsAtTheCursor) {
  plat::clipboard().setClipboardText("XY");
  std::string text = "abcdef";
  keys("Right Shift+Right Shift+Right Ctrl+V Enter");
  edit(text);
  EXPECT_EQ(text, "aXYdef");

  text = "abcdef";
  keys("End Shift+Ins Enter");
  edit(text);
  EXPECT_EQ(text, "abcdefXY");
}

TEST_F(LineEditorTest, PasteAsFirstKeyReplacesTheField) {
  plat::clipboard().setClipboardText("novo");
  std::string text = "velho";
  keys("Ctrl+V Enter");
  edit(text);
  EXPECT_EQ(text, "novo");
  EXPECT_EQ(count(heard(), "click"), 2);
}

TEST_F(LineEditorTest, CtrlYBlanksAndCtrlURestores) {
  std::string text = "abc";
  keys("Ctrl+Y Enter");
  edit(text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(heard(), (Lines{"sound _CPOAPA"}));

  text = "abc";
  keys(R"(End "de" Ctrl+Y "z" Ctrl+U Enter)");
  edit(text);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(count(heard(), "beep"), 3);
}

TEST_F(LineEditorTest, CtrlDAndCtrlSEraseAfterAndBeforeTheCursor) {
  std::string text = "abcdef";
  keys("Right Right Ctrl+D Enter");
  edit(text);
  EXPECT_EQ(text, "ab");
  text = "abcdef";
  keys("Right Right Ctrl+S Enter");
  edit(text);
  EXPECT_EQ(text, "cdef");
  EXPECT_TRUE(contains(heard(), "sound _APICPO"));
}

TEST_F(LineEditorTest, WordMovesClickAndBeepAtTheEnds) {
  std::string text = "um dois 345";
  keys(R"(Ctrl+Right Ctrl+Right "x" Ctrl+Right "!" Enter)");
  edit(text, 20);
  // The last move beeps and leaves the cursor after the last word.
  EXPECT_EQ(text, "um dois x345!");
  EXPECT_EQ(count(heard(), "beep"), 1);

  text = "um dois";
  keys(R"(End Ctrl+Left "<" Ctrl+Left Ctrl+Left Ctrl+Left Enter)");
  edit(text, 20);
  EXPECT_EQ(text, "um <dois");
  EXPECT_EQ(heard().back(), "beep");
}

TEST_F(LineEditorTest, CtrlBackspaceDeletesTheWordAndItsBlanks) {
  std::string text = "um dois tres";
  keys("Ctrl+Right Ctrl+Right Left Ctrl+Backspace Enter");
  edit(text, 20);
  EXPECT_EQ(text, "um tres");
  EXPECT_EQ(count(heard(), "sound _DEL"), 1);
  // The word moves stop at the mark: the deletion starts where the last one
  // left the cursor, so the mark stays.
  text = "xy.zw";
  keys("Right Right Right Ctrl+Backspace Enter");
  edit(text, 20);
  EXPECT_EQ(text, "xy.");
  // Neither the next word's letters nor, from a blank, the word before go.
  text = "xy.zw uv";
  keys("Right Right Right Ctrl+Backspace Enter");
  edit(text, 20);
  EXPECT_EQ(text, "xy.uv");
  text = "abcd   ef";
  keys("Right Right Right Right Right Ctrl+Backspace Enter");
  edit(text, 20);
  EXPECT_EQ(text, "abcd ef");
}

TEST_F(LineEditorTest, F1ReadsTheFieldItemByItem) {
  std::string text = "CPF 123 casa";
  keys("F1 F1 F1 F1 Enter");
  edit(text, 20);
  EXPECT_EQ(withoutNumberDetail(heard()),
            (Lines{"char 67", "char 80", "char 70", "say 123", "say casa",
                   "beep"}));
}

TEST_F(LineEditorTest, SpokenPositionFieldAndPhoneticLetter) {
  std::string text = "Ab c";
  keys("Right Ctrl+K Ctrl+F1 Home Alt+Right Enter");
  edit(text);
  EXPECT_EQ(withoutNumberDetail(heard()),
            (Lines{"char 65", "say 2", "say Ab c      ", "sound _FON65"}));
}

TEST_F(LineEditorTest, F4TogglesTheEchoOfTypedCharacters) {
  std::string text;
  keys(R"(F4 "a" F4 "b" Enter)");
  edit(text);
  EXPECT_EQ(heard(), (Lines{"sound _FALDLG", "sound _FALACI", "char 98"}));
  EXPECT_TRUE(speechState().echoTyping);
}

TEST_F(LineEditorTest, ReadOnlyFieldIgnoresTypingAndErasing) {
  std::string text = "fixo";
  keys(R"("x" End Backspace Ctrl+Y Ctrl+D Del Enter)");
  edit(text, 10, false);
  EXPECT_EQ(text, "fixo");
}

TEST_F(LineEditorTest, AFieldOnTheBottomRowNeverWritesTheLastCell) {
  std::string text = "0123456789";
  keys("Enter");
  edit(text, 10, true, 71, 25, 10);
  EXPECT_EQ(screenRow(25), std::string(70, ' ') + "012345678");
  // The same field higher up shows all ten.
  keys("Enter");
  edit(text, 10, true, 71, 24, 10);
  EXPECT_EQ(screenRow(24), std::string(70, ' ') + "0123456789");
}

TEST_F(LineEditorTest, ALongFieldScrollsWithinItsWidth) {
  std::string text;
  keys(R"("abcdefghij" Enter)");
  edit(text, 30, true, 1, 2, 5);
  EXPECT_EQ(text, "abcdefghij");
  EXPECT_EQ(screenRow(2), "abcde");  // shown from its start on leaving
}

TEST_F(LineEditorTest, ScreenReviewReturnsToTheFieldAndCtrlF8SpeaksTheDate) {
  std::string text;
  keys("Ctrl+Alt+F9 Esc Ctrl+F8 Enter");
  EXPECT_EQ(edit(text), 13);
  Lines lines = heard();
  ASSERT_GE(lines.size(), 3u);
  // One beep on entering the review, two on leaving it.
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 3), (Lines{"beep", "beep", "beep"}));
  lines.erase(lines.begin(), lines.begin() + 3);
  // Saturday, 2 March 2024.
  EXPECT_EQ(lines, (Lines{"sound _Sabado", "number dois", "sound _de",
                          "sound _Marco", "sound _de", "number dois mil ",
                          "sound _e", "number vinte e quatro"}));
}

// The console cursor follows the review cursor and comes back on leaving;
// the review's search text outlives the call.
TEST_F(LineEditorTest, ScreenReviewPutsTheCursorBack) {
  openConsole();
  moveCursor(10, 5);
  keys(R"(Down Down F6 1 2 4 0 F5 "abc" Enter Esc)");
  reviewScreen();
  EXPECT_EQ(cursorColumn(), 10);
  EXPECT_EQ(cursorRow(), 5);
  EXPECT_EQ(screenReviewState().searchText, "abc");
}

TEST_F(LineEditorTest, CtrlAltPrefixReadsTheNextByteInstead) {
  std::string text;
  keys(R"(Ctrl+Alt+Q "a" Enter)");
  EXPECT_EQ(edit(text), 13);
  EXPECT_EQ(text, "a");
  keys("Ctrl+Alt+Q Up");
  EXPECT_EQ(edit(text), 16);
  EXPECT_EQ(readKey(), 72);  // the extended code stays queued
}

// ß and Þ arrive as the bytes 223 and 222, which the focus signals once
// were: they are letters like any other. The focus signals, now extended
// codes, neither type nor end editing nor drop the selection; gaining the
// focus says the field again.
TEST_F(LineEditorTest, SharpSAndThornAreTypedAndFocusSignalsStillAct) {
  plat::clipboard().setClipboardText("xy");
  std::string text;
  type("a\xDF" "b");
  press("Ctrl+V");  // selects what it pastes
  keyAvailable();   // these keys are in the queue before the signals
  for (uint8_t signal : {kKeyFocusLost, kKeyFocusGained}) {
    queueKey(kKeyExtended);
    queueKey(signal);
  }
  keys("Ctrl+C End");
  keyByte(0xDE);
  keys("Enter");
  EXPECT_EQ(edit(text), kKeyEnter);
  EXPECT_EQ(text, "a\xDF" "bxy\xDE");
  EXPECT_EQ(screenRow(1), "a\xDF" "bxy\xDE");
  EXPECT_EQ(platform_->clipboardText(), "xy");  // the selection survived
  EXPECT_EQ(heard(), (Lines{"char 97", "char 223", "char 98",
                            "say a\xDF" "bxy     ", "char 222"}));
}

TEST_F(LineEditorTest, CtrlF4ChangesTheSpeed) {
  initSpeech(3, "");
  std::string text;
  keys("Ctrl+F4 5 Enter");
  edit(text);
  EXPECT_EQ(heard().front(), "sound _VELOC");
  EXPECT_TRUE(contains(heard(), "char 53"));
  EXPECT_EQ(speechState().speed, 5);
  keys("Ctrl+F4 Esc Enter");
  edit(text);
  EXPECT_EQ(speechState().speed, 5);  // Esc keeps the speed
}

TEST_F(LineEditorTest, CtrlBackslashDialsTheField) {
  std::string text = "1*#";
  keyByte(28);
  keys("Enter");
  edit(text);
  EXPECT_EQ(heard(), (Lines{"dtmf 1", "dtmf X", "dtmf #"}));
}

TEST_F(LineEditorTest, F12OpensTheWordUnderTheCursorTrimmed) {
  familySettings({"[LUMIRA]", "PROG.HTM=navegador"});
  std::string text = "ver <www.site.com.br>. agora";
  keys("Ctrl+Right Right Right F12 End F12 Enter");
  edit(text, 40);
  const auto& opened = platform_->shellRequests();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].program, "navegador");
  EXPECT_EQ(opened[0].parameters, "www.site.com.br");
  EXPECT_EQ(opened[1].program, "agora");  // after the last word: that word

  text = "ok -- ";
  keys("Home Right Right Right F12 Enter");
  edit(text, 40);
  EXPECT_EQ(opened.size(), 2u);  // nothing but trimmed marks: a beep
  EXPECT_EQ(heard().back(), "beep");
}

TEST_F(LineEditorTest, ReadLineSpokenWithEscGivesEmptyAndABlankLine) {
  std::string text = "x";
  moveCursor(3, 4);
  keys(R"("abc" Esc)");
  readLineSpoken(text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(screenRow(4), "");
  EXPECT_EQ(cursorRow(), 5);

  keys(R"("linha" Enter)");
  readLineSpoken(text);
  EXPECT_EQ(text, "linha");
}

TEST_F(LineEditorTest, ReadNumberSpokenTakesLeadingDigitsOrKeepsTheValue) {
  int n = 7;
  keys(R"("  42abc" Enter)");
  readNumberSpoken(n);
  EXPECT_EQ(n, 42);
  keys("Esc");
  readNumberSpoken(n);
  EXPECT_EQ(n, 42);
  keys(R"("99999999999999" Enter)");
  readNumberSpoken(n);
  EXPECT_EQ(n, 2147483647);
}

// --- Bad input ---------------------------------------------------------

TEST_F(LineEditorTest, AHugeClipboardFillsTheFieldAndNoMore) {
  plat::clipboard().setClipboardText(std::string(1 << 20, 'z'));
  std::string text;
  keys("Ctrl+V Enter");
  edit(text, 2048, true, 1, 1, 78);
  EXPECT_EQ(text, std::string(2048, 'z'));
}

TEST_F(LineEditorTest, ClipboardControlBytesNeverReachTheField) {
  plat::clipboard().setClipboardText(std::string("a\bb\tc\rdepois\nmais"));
  std::string text;
  keys("Ctrl+V Enter");
  edit(text, 20);
  EXPECT_EQ(text, "a b c");
  EXPECT_EQ(screenRow(1), "a b c");

  plat::clipboard().setClipboardText(std::string("ab\0cd", 5));
  keys("End Ctrl+V Enter");
  edit(text, 20);
  EXPECT_EQ(text, "a b cab");
}

TEST_F(LineEditorTest, PasteIntoAFullFieldKeepsItsLength) {
  plat::clipboard().setClipboardText("XYZ");
  std::string text = "0123456789";
  keys("Right Ctrl+V End Ctrl+V Del Enter");
  edit(text);
  EXPECT_EQ(text, "0XYZ123456");
}

TEST_F(LineEditorTest, OversizedArgumentsAreCutToTheWindowAndCapacity) {
  std::string text(5000, 'q');
  keys(R"(End "w" Enter)");
  edit(text, 100000, true, 75, 1, 100000);
  EXPECT_EQ(text, std::string(kMaxFieldLength, 'q'));
  EXPECT_EQ(screenRow(2), "");  // nothing ran onto the next line
  EXPECT_EQ(screenRow(1), std::string(74, ' ') + "qqqqqq");
}

}  // namespace
