// The main prompt's Up/Down popup, end to end through the scenario runner:
// what shows while it waits, what Down and Enter choose, and the screen
// left exactly as it was when ESC closes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/test_files.h"

namespace {

using testfiles::readLines;

namespace fs = std::filesystem;

struct Outcome {
  int code = -1;
  std::vector<std::string> screen, attrs, speech;
  int attr(int column, int row) const {  // 0-based
    return std::stoi(attrs.at(row).substr(column * 2, 2), nullptr, 16);
  }
  int rowOf(const std::string& text) const {
    for (size_t i = 0; i < screen.size(); ++i)
      if (screen[i].rfind(text, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  bool said(const std::string& line) const {
    return std::find(speech.begin(), speech.end(), line) != speech.end();
  }
};

class MainArrowMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           (std::string("talonix-arrow-menu-") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "work");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  Outcome run(const std::string& script) {
    std::ofstream(dir_ / "keys.txt", std::ios::binary) << script;
    auto q = [](const fs::path& p) { return "'" + p.string() + "'"; };
    const std::string cmd =
        q(TALONIX_RUN_PATH) + " --keys " + q(dir_ / "keys.txt") + " --screen " +
        q(dir_ / "screen.txt") + " --attrs " + q(dir_ / "attrs.txt") +
        " --speech " + q(dir_ / "speech.txt") + " --config-dir " +
        q(dir_ / "config") + " --workdir " + q(dir_ / "work") +
        " --now 2024-03-01T10:30 2> /dev/null < /dev/null";
    Outcome r;
    const int status = std::system(cmd.c_str());
    r.code = (status == -1 || (status & 0x7F)) ? -1 : (status >> 8) & 0xFF;
    r.screen = readLines(dir_ / "screen.txt");
    r.attrs = readLines(dir_ / "attrs.txt");
    r.speech = readLines(dir_ / "speech.txt");
    return r;
  }

  fs::path dir_;
};

std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

const char* const kItems[5] = {
    "   C  configurar", "   E  emitir cheque", "   L  lan\xE7" "amento banc\xE1rio",
    "   F  folhear lan\xE7" "amentos", "   X  gera extrato dos lan\xE7" "amentos"};

TEST_F(MainArrowMenuTest, UpOpensFiveMagentaItemsUnderThePrompt) {
  Outcome r = run("Up");  // the window is closed while the popup waits
  ASSERT_EQ(r.code, 0);
  const int first = r.rowOf(kItems[0]);
  ASSERT_GT(first, r.rowOf(u8("Sua op\xE7\xE3o:")));
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
  Outcome r = run("Up Down Enter Esc");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.said("say " + std::string(kItems[1])));
  // Cheque issuing is reached, exactly as if E had been typed.
  EXPECT_GE(r.rowOf(u8("A emiss\xE3o de cheques")), 0);

  // Down opens it too; End reaches the statement export.
  Outcome x = run("Down End Enter Esc");
  EXPECT_TRUE(x.said("say " + u8(kItems[4])));
  EXPECT_GE(x.rowOf("Informe o nome do arquivo TXT a gerar"), 0);
}

TEST_F(MainArrowMenuTest, EscLeavesTheScreenExactlyAsBeforeWithNoMessage) {
  const Outcome popup = run("Up Esc Esc");
  const Outcome plain = run("Enter Esc");  // the same screen with no popup
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
  Outcome r = run("Up \"l\" Enter Esc");
  EXPECT_TRUE(r.said("say " + u8(kItems[2])));
  EXPECT_GE(r.rowOf(u8("Preencha o formul\xE1rio com o lan\xE7" "amento a registrar")), 0);
}

}  // namespace
