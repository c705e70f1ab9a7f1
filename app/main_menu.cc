// The program's spine: start-up, banner, the one-key main menu and its help,
// and shut-down.
#include <cctype>
#include <string>

#include "app/catalogue.h"
#include "app/commands.h"
#include "app/key_menu.h"
#include "app/program.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/speech.h"
#include "speech/voice_kit.h"
#include "synth/synth.h"

namespace {

const char* const kMainHelp[] = {"CHAJUD0", "CHAJUD1", "CHAJUD2", "CHAJUD3",
                                 "CHAJUD4", "CHAJUD5", "CHAJUD9"};
const char* const kMainItems[] = {"CHAJUD1", "CHAJUD2", "CHAJUD3", "CHAJUD4",
                                  "CHAJUD5"};
const KeyMenu kMainMenu = {"CHOPCAO", 1, kMainHelp, 7, kMainItems, "celfx", 5};

// From the build (CMakeLists.txt, project()).
const char kVersion[] = TALONIX_VERSION;

// "TALONIX" in 5 x 7 letters, two blank columns between letters.
const char* const kBanner[7] = {
    "  *****   ***   *       ***   *   *  *****  *   *  ",
    "    *    *   *  *      *   *  **  *    *    *   *  ",
    "    *    *   *  *      *   *  * * *    *     * *   ",
    "    *    *****  *      *   *  *  **    *      *    ",
    "    *    *   *  *      *   *  *   *    *     * *   ",
    "    *    *   *  *      *   *  *   *    *    *   *  ",
    "    *    *   *  *****   ***   *   *  *****  *   *  ",
};

void drawBanner() {
  clearScreen();
  plat::window().setTitle("Talonix");
  setBackColor(1);
  for (const char* row : kBanner) {
    writeText(row);
    writeLineEnd();
  }
  setBackColor(0);
  clearToLineEnd();
  writeLineEnd();
  speakMessage("CHINIC", 0);
  writeLineSpeak(kVersion);
  writeLineEnd();
}

void startUp() {
  writeFamilyDefault("TALONIX", "DIRTALONIX", voiceKitDirectory("talonix"));
  const std::string directory = readFamilySetting("TALONIX", "DIRTALONIX");
  initSpeech(0, directory);
  speechState().speakPunctuationNames = false;
  drawBanner();
  loadSettings();
  speakMessage("CHF1AJUD", 2);
}

[[noreturn]] void shutDown() {
  writeLineEnd();
  speakMessage("CHFIM", 1);
  endSpeech();
  closeConsole();
}

// Runs one command; false when the key ends the program.
bool dispatch(uint8_t key) {
  switch (std::toupper(key)) {
    case kKeyBackspace:
    case kKeyEnter: return true;
    case kKeyEsc: return false;
    case 'C': configurationMenu(); return true;
    case 'E': issueCheque(); return true;
    case 'F': browseEntries(); return true;
    case 'L': registerBankEntry(); return true;
    case 'X': exportStatement(); return true;
    default: speakMessage("CHOPINV", 1); return true;
  }
}

}  // namespace

void runTalonix() {
  resetProgramState();
  startConsole();
  startUp();
  while (dispatch(readMenuCommand(kMainMenu))) {
  }
  shutDown();
}
