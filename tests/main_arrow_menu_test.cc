// The main prompt's Up/Down popup, end to end through the scenario runner:
// what shows while it waits, what Down and Enter choose, and the screen
// left exactly as it was when ESC closes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/runner_fixture.h"

namespace {

using runnertest::RunResult;

class MainArrowMenuTest : public runnertest::RunnerFixture {
 protected:
  RunResult run(const std::string& script) {
    return RunnerFixture::run(script, {"--now", "2024-03-01T10:30"});
  }
};

std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

const char* const kItems[5] = {
    "   C  configurar", "   E  emitir cheque", "   L  lan\xE7" "amento banc\xE1rio",
    "   F  folhear lan\xE7" "amentos", "   X  gera extrato dos lan\xE7" "amentos"};

TEST_F(MainArrowMenuTest, UpOpensFiveMagentaItemsUnderThePrompt) {
  RunResult r = run("Up");  // the window is closed while the popup waits
  ASSERT_EQ(r.code, 0);
  const int first = r.rowStarting(kItems[0]);
  ASSERT_GT(first, r.rowStarting(u8("Sua op\xE7\xE3o:")));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(r.screen.at(first + i), u8(kItems[i]));
    for (int col = 0; col < 50; ++col) {
      ASSERT_EQ(r.attr(col, first + i) >> 4, 5) << i << "," << col;
      ASSERT_EQ(r.attr(col, first + i) & 0x0F, i == 0 ? 14 : 15) << i << "," << col;
    }
    EXPECT_NE(r.attr(50, first + i) >> 4, 5);
  }
  EXPECT_TRUE(r.said("say " + std::string(kItems[0])));
}

TEST_F(MainArrowMenuTest, DownAndEnterChooseTheCommand) {
  RunResult r = run("Up Down Enter Esc");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.said("say " + std::string(kItems[1])));
  // Cheque issuing is reached, exactly as if E had been typed.
  EXPECT_GE(r.rowStarting("TALONIX - v."), 0);

  // Down opens it too; End reaches the statement export.
  RunResult x = run("Down End Enter Esc");
  EXPECT_TRUE(x.said("say " + u8(kItems[4])));
  EXPECT_GE(x.rowStarting("Informe o nome do arquivo TXT a gerar"), 0);
}

TEST_F(MainArrowMenuTest, EscLeavesTheScreenExactlyAsBeforeWithNoMessage) {
  const RunResult popup = run("Up Esc Esc");
  const RunResult plain = run("Enter Esc");  // the same screen with no popup
  EXPECT_EQ(popup.code, 0);
  EXPECT_EQ(popup.screen, plain.screen);
  EXPECT_EQ(popup.attrs, plain.attrs);
  const std::string invalid =
      "say " + u8("Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda");
  EXPECT_FALSE(popup.said(invalid));
  // After ESC the next thing heard is the prompt again.
  auto esc = std::find(popup.speech.begin(), popup.speech.end(),
                       "say " + std::string(kItems[0]));
  ASSERT_NE(esc, popup.speech.end());
  auto next = std::find_if(esc + 1, popup.speech.end(), [](const std::string& s) {
    return s.rfind("pause", 0) != 0;
  });
  ASSERT_NE(next, popup.speech.end());
  EXPECT_EQ(*next, "say " + u8("Sua op\xE7\xE3o: "));
}

TEST_F(MainArrowMenuTest, ALetterInThePopupMovesToItsCommand) {
  RunResult r = run("Up \"l\" Enter Esc");
  EXPECT_TRUE(r.said("say " + u8(kItems[2])));
  EXPECT_GE(r.rowStarting(u8("Preencha o formul\xE1rio com o lan\xE7" "amento a registrar")), 0);
}

}  // namespace
