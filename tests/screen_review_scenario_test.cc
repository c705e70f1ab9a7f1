// Screen review end to end: the built runner, the entry form (L) on the
// factory bank, Ctrl+Alt+F9 from its fields, checked by what the user
// hears, what the clipboard holds and what the form does afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using runnertest::after;
using runnertest::consecutive;
using runnertest::countOf;
using runnertest::inOrder;
using runnertest::Lines;
using runnertest::RunResult;
using runnertest::without;

std::string u8(const std::string& cp1252) { return plat::cp1252ToUtf8(cp1252); }

// The form as it stands on 07/03/2025, cursor in the date field (row 6,
// column 29; the red labels end in column 28).
const std::string kForm = "l ";
// To the payee field (row 12), typing a text with an abbreviation, a mark
// and a run of one character.
const std::string kPayee = "Down Down Down Down Down Down \"CPF: 123 ======== fim\" ";
// Leaves the review, the form (whose value is missing) and the program.
const std::string kLeave = " Esc Esc Esc Esc";

class ScreenReviewScenarioTest : public runnertest::RunnerFixture {
 protected:
  // Speech without pauses and the number words heard inside texts.
  RunResult run(const std::string& script) {
    RunResult r = RunnerFixture::run(script, {"--now", "2025-03-07T10:00"});
    EXPECT_EQ(r.code, 0);
    r.speech = without(r.speech, {"pause", "number", "sound"});
    return r;
  }
  // What was heard after the n-th time the review said where it is.
  static Lines between(const RunResult& r, const std::string& from, const std::string& to) {
    Lines out;
    for (const std::string& line : r.after(from)) {
      if (line == to) break;
      out.push_back(line);
    }
    return out;
  }
};

TEST_F(ScreenReviewScenarioTest, WordsFieldsAndRowsAreReadWithoutTouchingTheForm) {
  const RunResult r = run(
      kForm + kPayee + "Ctrl+Alt+F9 "
      "Home F1 F1 F1 F1 F1 Ctrl+K "  // label, CPF spelled, colon, 123, "===" past the run
      "F1 F1 Ctrl+K "                // fim; then nothing more: the line end
      "Ctrl+Left Ctrl+Left Ctrl+K "  // back two words
      "F6 0 6 2 9 Ctrl+F1 "          // the date field: only the field's colour
      "Shift+Tab Ctrl+F1 Ctrl+K "    // the red label before it, at its last cell
      "Up Up Ctrl+K "                // row 5, then row 4, from column 1
      "PgUp Up Ctrl+K "              // row 1; no row above it
      "PgDn Down Ctrl+K "            // row 25; no row below it
      "F6 1 x Ctrl+K "               // gives up: stays on row 25
      "Ctrl+PgDn Ctrl+PgUp Ctrl+K "  // the last and the first letter on the screen
      "Ctrl+C "
      "Esc End \" ok\" Ctrl+F1 "     // editing goes on where it was
      + kLeave);
  // The payee row, word by word; "===" stands for the whole run.
  EXPECT_TRUE(consecutive(r.speech, {"beep", "say *Favorecido"}));
  EXPECT_TRUE(inOrder(r.speech, {"say *Favorecido", "char 67", "char 80", "char 70",
                                 "say :", "say 123", "say ===", "say 12 46", "say fim",
                                 "click", "say 12 50"}));
  EXPECT_TRUE(inOrder(r.speech, {"say 12 50", "click", "click", "say 12 38"}));
  // The date field holds only the date; its label is another colour.
  EXPECT_EQ(between(r, "say Entre linha e coluna", "say 6 28"),
            (Lines{"char 48", "char 54", "char 50", "char 57", "say 07", "say /03",
                   "char 47", "say /2025", "char 47", "click", "click", "say Data",
                   "click"}));
  EXPECT_EQ(between(r, "say 6 28", "say 4 1"),
            (Lines{"say Termine", "say com", "say ESC", "click", "say Os", "say campos",
                   "say com", "say *", "char 42", "say " + u8("s\xE3o"), "say opcionais", "click"}));
  EXPECT_EQ(between(r, "say 4 1", "say 1 1"), (Lines{"say Talonix", "click", "beep"}));
  EXPECT_EQ(between(r, "say 1 1", "say 25 1"), (Lines{"click", "click", "beep"}));
  EXPECT_EQ(countOf(r.speech, "say 25 1"), 2);
  EXPECT_TRUE(consecutive(r.speech, {"char 49", "beep", "beep", "say 25 1"}));
  EXPECT_TRUE(r.mentions("say CPF: 123 ======== fim ok "));
  // Ctrl+C: the whole screen, 25 rows of 80 characters with CR LF.
  const std::string clip = plat::utf8ToCp1252(r.clipboard);
  ASSERT_EQ(clip.size(), 25u * 82u);
  EXPECT_EQ(clip.substr(5 * 82, 40), "                       Data 07/03/2025  ");
  EXPECT_EQ(clip.substr(11 * 82 + 80, 2), "\r\n");
}

TEST_F(ScreenReviewScenarioTest, RangesSearchAndUnknownKeys) {
  const RunResult r = run(
      kForm + "Ctrl+Alt+F9 "
      "i l f l Ctrl+K "                   // before and after the cursor; the cursor stays
      "F6 0 6 3 2 i c f c Ctrl+L "        // the field's two parts around column 32
      "Tab Ctrl+K "                       // past the date field
      "Home Tab Ctrl+K "                  // from the label to the date's first cell
      "F6 0 6 1 0 i l Ctrl+K "            // nothing before column 10: no word after it
      "PgUp F5 \"registrax\" Backspace \"r\" Enter Ctrl+K "  // typed, corrected, found
      "Ctrl+F5 "                          // only before the cursor on its row: not found
      "F5 \"termine\" Enter F5 \"Termine\" Enter Ctrl+K "     // case counts
      "F5 \"xyz\" Esc Ctrl+K Ctrl+F5 "   // Esc searches nothing and forgets the text
      "x t q Ctrl+D F2 Ctrl+K" + kLeave);
  EXPECT_EQ(between(r, "beep", "say 6 29"),
            (Lines{"say Data", "click", "say 07", "say /03", "char 47", "say /2025", "char 47",
                   "click"}));
  EXPECT_EQ(between(r, "say 6 29", "say 6 32"),
            (Lines{"say Entre linha e coluna", "char 48", "char 54", "char 51", "char 50",
                   "say 07", "say /03", "char 47", "click", "say 03", "say /2025", "char 47",
                   "click"}));
  // The date field runs on in blanks of its colour to the edge: Tab goes
  // to the line end.
  EXPECT_TRUE(consecutive(r.speech, {"say 6 32", "say 6 39", "click", "say 6 29",
                                     "say Entre linha e coluna", "char 48", "char 54",
                                     "char 49", "char 48", "click", "say 6 10", "say Talonix"}));
  EXPECT_EQ(between(r, "say Qual texto", "say 3 42"),
            (Lines{"char 114", "char 101", "char 103", "char 105", "char 115",
                   "char 116", "char 114", "char 97", "char 120", "char 120", "char 114",
                   "click"}));
  EXPECT_TRUE(inOrder(r.speech, {"say 3 42", "beep", "beep", "say Qual texto", "beep", "beep",
                                 "say Qual texto", "click", "say 5 1"}));
  // Each unknown key or letter: beep, click, beep.
  const Lines ending = after(r.speech, "say 5 1", 2);
  ASSERT_GE(ending.size(), 17u);
  EXPECT_EQ(Lines(ending.begin(), ending.begin() + 17),
            (Lines{"beep", "beep",                                     // Ctrl+F5
                   "beep", "click", "beep", "beep", "click", "beep",  // x, t q
                   "beep", "click", "beep", "beep", "click", "beep",  // Ctrl+D, F2
                   "say 5 1", "beep", "beep"}));
}

TEST_F(ScreenReviewScenarioTest, AKeyPressedDuringAWholeScreenReadingStopsItAndActs) {
  for (const bool voice : {false, true}) {
    SCOPED_TRACE(voice ? "platform voice" : "diphone path");
    if (voice) {
      testfiles::writeFile(configDir() / "LUMIRA.INI",
                           "[TRADUTOR]\r\nSAPI=S\r\n[SERVFALA]\r\nTIPOSAPI=5\r\n");
    }
    const RunResult whole = run(kForm + "Ctrl+Alt+F9 t t" + kLeave);
    const RunResult cut = run(kForm + "Ctrl+Alt+F9 t t ~3:Down Ctrl+K" + kLeave);
    // The form says "Termine com ESC" before the review begins.
    auto readsRow5 = [](const RunResult& r) {
      for (const std::string& line : r.after("beep")) {
        if (line.find("Termine") != std::string::npos) return true;
      }
      return false;
    };
    EXPECT_TRUE(readsRow5(whole));
    EXPECT_GE(countOf(whole.speech, "click"), 25);
    // Cut on row 2; the key is not lost: Down reads the row below.
    EXPECT_FALSE(readsRow5(cut));
    EXPECT_LT(countOf(cut.speech, "click"), 6);
    EXPECT_TRUE(cut.said(voice ? "say 3 1" : "say 4 1"));
  }
}

}  // namespace
