// Bad input from outside the program: settings files full of garbage in
// every section it reads, and clipboard texts that are huge or full of
// control bytes pasted where there is little or no room.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "speech/line_editor.h"
#include "tests/key_helpers.h"
#include "tests/runner_fixture.h"
#include "tests/speech_fixture.h"
#include "tests/test_files.h"

namespace {

using testfiles::writeFile;

// --- Settings files, through the runner ------------------------------------

class BadSettingsScenarioTest : public runnertest::RunnerFixture {};

TEST_F(BadSettingsScenarioTest, GarbageInEverySectionStillGivesAWorkingProgram) {
  const std::string huge(1000, 'x');
  const std::string bytes("\x01\x02\xFF\xFE=\x7F", 6);
  writeFile(configDir() / "LUMIRA.INI",
            "[TALONIX]\r\nDIRTALONIX=@@@" + huge + "@\r\nMOEDA=" + bytes + "\r\nBANCOATUAL=[]=\r\n"
            "[VIDEO]\r\nTABCORES=1,2,,zz,-9,99999999999,\r\nCORFUNDO=-1\r\nCORLETRA=300\r\n"
            "AMPLIF=0\r\nFONTE=" + huge + "\r\nLARGURALETRA=-40\r\nALTURALETRA=99999999999\r\n"
            "[BRAILLE]\r\nMODO=abc\r\n"
            "[TRADUTOR]\r\nVELOCIDADE=-99999999999\r\nSAPI=" + huge + "\r\n"
            "[SERVFALA]\r\nVOZ=zz\r\nVELOCIDADE=99999999999\r\nTOM=--5\r\nTIPOSAPI=4x\r\n"
            "[LUMIRA]\r\n=" + huge + "\r\n[" + huge + "\r\n" + std::string(100000, 'L') + "\r\n");
  std::string banks = "[Bancos]\r\n";
  for (int i = 0; i < 10000; ++i) banks += "Banco " + std::to_string(i) + "=\r\n";
  writeFile(configDir() / "TALONIX.INI",
            banks + "[[]=\r\n" + "[Banco 7]\r\n" + "[Banco 8]\r\nposValor=\xFF\xFE,\x01\r\n"
            "posDia=99999999999999999999,-99999999999999999999\r\narquivoLanc=" +
            std::string(5000, 'a') + "\r\nano4Digitos=\r\n");
  const runnertest::RunResult r = run("F1 \"q\" Esc");
  ASSERT_EQ(r.code, 0);
  const std::vector<std::string>& said = r.speech;
  ASSERT_FALSE(said.empty());
  EXPECT_EQ(said.back(), "say Fim do programa");
  EXPECT_NE(std::find(said.begin(), said.end(), "say    ESC  fim"), said.end());
  EXPECT_GE(r.rowStarting("Banco atual: "), 0);
}

// --- Clipboard texts in the line editor -------------------------------------

class BadPasteTest : public speechtest::SpeechFixture {
 protected:
  void keys(const std::string& script) { keytest::keys(*platform_, script); }
  static bool printableOnly(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<uint8_t>(c) >= 32; });
  }
  // A megabyte of text broken by every control byte a clipboard can hold.
  static std::string hostileClipboard() {
    std::string text;
    const std::string breaks("\0\r\n\t\x1b\b\x7f", 7);
    for (size_t i = 0; text.size() < (1u << 20); ++i) {
      text += "palavra";
      text += breaks[i % breaks.size()];
    }
    return text;
  }
};

TEST_F(BadPasteTest, AHostileClipboardInASmallFieldOnTheLastCellsOfTheScreen) {
  plat::clipboard().setClipboardText(hostileClipboard());
  std::string text;
  for (int round = 0; round < 3; ++round) {
    keys("End Ctrl+V Home Ctrl+V Enter");
    editLine(text, 71, 25, true, 10, 10);
    EXPECT_LE(text.size(), 10u);
    EXPECT_TRUE(printableOnly(text)) << text;
  }
}

TEST_F(BadPasteTest, AMegabyteOverASelectionOfAFullFieldKeepsItsCapacity) {
  plat::clipboard().setClipboardText(std::string(1 << 20, 'm'));
  std::string text(30, 'a');
  keys("Home Right Shift+Right Shift+Right Ctrl+V End Ctrl+V \"zz\" Enter");
  editLine(text, 1, 5, true, 40, 30);
  ASSERT_EQ(text.size(), 30u);
  EXPECT_EQ(text[0], 'a');
  EXPECT_EQ(text.substr(1, 27), std::string(27, 'm')) << text;
}

TEST_F(BadPasteTest, OnlyControlBytesPasteNothing) {
  plat::clipboard().setClipboardText(std::string("\0\0\r\n\r\n", 6));
  std::string text = "antes";
  keys("End Ctrl+V Enter");
  editLine(text, 1, 1, true, 20, 20);
  EXPECT_EQ(text, "antes");
}

TEST_F(BadPasteTest, AReadLineTakesAtMostItsOwnLimitFromAPaste) {
  plat::clipboard().setClipboardText(hostileClipboard());
  std::string text;
  keys("Ctrl+V Ctrl+V Enter");
  readLineSpoken(text);
  EXPECT_LE(text.size(), 255u);
  EXPECT_TRUE(printableOnly(text));
}

}  // namespace
