// End-to-end scenarios: the real program driven by key scripts, checked by
// what the user would see (screen, colours) and hear (speech record). A few
// run the built talonix-run as a separate process, exactly as a user of the
// runner would; the rest run the program in this process for speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "platform/shared/codepage.h"
#include "platform/shared/riff.h"
#include "tests/test_files.h"

namespace {

using testfiles::exitCodeOf;
using testfiles::readAll;
using testfiles::readLines;
using testfiles::writeFile;

namespace fs = std::filesystem;

// Program texts are Windows-1252; the runner's files are UTF-8.
std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

struct RunResult {
  int code = -1;
  std::vector<std::string> screen;  // UTF-8, trailing blanks removed
  std::vector<std::string> attrs;   // 80 hex pairs per row
  std::vector<std::string> speech;  // UTF-8
  std::string errors;               // the runner's stderr

  // Attribute of a cell (0-based), from the hex dump.
  int attr(int column, int row) const {
    return std::stoi(attrs.at(row).substr(column * 2, 2), nullptr, 16);
  }
  int rowStarting(const std::string& text) const {
    for (size_t i = 0; i < screen.size(); ++i) {
      if (screen[i].rfind(text, 0) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  int count(const std::string& line) const {
    return static_cast<int>(std::count(speech.begin(), speech.end(), line));
  }
  bool said(const std::string& line) const { return count(line) > 0; }
  // Speech lines after the n-th (1-based) occurrence of a line.
  std::vector<std::string> after(const std::string& line, int n = 1) const {
    for (size_t i = 0; i < speech.size(); ++i) {
      if (speech[i] == line && --n == 0) {
        return std::vector<std::string>(speech.begin() + i + 1, speech.end());
      }
    }
    return {};
  }
};

// Speech without the pauses, which the assertions do not care about.
std::vector<std::string> words(const std::vector<std::string>& speech) {
  std::vector<std::string> out;
  for (const std::string& s : speech) {
    if (s.rfind("pause ", 0) != 0) out.push_back(s);
  }
  return out;
}

// A minimal 8-bit mono PCM recording.
std::string tinyWave() {
  std::string wave(plat::kPcmHeaderBytes, '\0');
  plat::writePcmHeader(reinterpret_cast<uint8_t*>(wave.data()), 200, 11025, 8, 1);
  return wave + std::string(200, static_cast<char>(128));
}

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("talonix-scenario-" + std::to_string(std::rand()) + "-" +
            info->name() + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directories(configDir());
    fs::create_directories(workDir());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  fs::path configDir() const { return dir_ / "config"; }
  fs::path workDir() const { return dir_ / "work"; }

  void writeLumira(const std::string& bytes) { writeFile(configDir() / "LUMIRA.INI", bytes); }

  // Through the built runner, as a separate process.
  RunResult runTool(const std::string& script, const std::string& extra = "") {
    writeFile(dir_ / "keys.txt", script);
    const std::string q = "'";
    std::string cmd = q + TALONIX_RUN_PATH + q + " --keys " + q +
                      (dir_ / "keys.txt").string() + q + " --screen " + q +
                      (dir_ / "screen.txt").string() + q + " --attrs " + q +
                      (dir_ / "attrs.txt").string() + q + " --speech " + q +
                      (dir_ / "speech.txt").string() + q + " --config-dir " + q +
                      configDir().string() + q + " --workdir " + q +
                      workDir().string() + q + " " + extra + " 2> " + q +
                      (dir_ / "stderr.txt").string() + q + " < /dev/null";
    RunResult r;
    r.code = exitCodeOf(std::system(cmd.c_str()));
    r.screen = readLines(dir_ / "screen.txt");
    r.attrs = readLines(dir_ / "attrs.txt");
    r.speech = readLines(dir_ / "speech.txt");
    r.errors = readAll(dir_ / "stderr.txt");
    return r;
  }

  // The same in this process. `extra` events run as further groups after
  // the script (mouse events, which a key script cannot name).
  RunResult runHere(const std::string& script,
                    const std::vector<plat::headless::KeyGroup>& extra = {}) {
    std::vector<plat::headless::KeyGroup> groups;
    std::string error;
    EXPECT_TRUE(plat::headless::parseKeyScript(script, &groups, &error)) << error;
    groups.insert(groups.end(), extra.begin(), extra.end());
    plat::headless::HeadlessConfig config;
    config.configDir = configDir();
    config.workDir = workDir();
    config.startTime = plat::LocalTime{2024, 3, 1, 5, 10, 30, 0, 0};
    plat::headless::HeadlessPlatform p(config);
    p.addKeyGroups(groups);
    p.install();
    RunResult r;
    try {
      runTalonix();
    } catch (const plat::ExitRequest& exit) {
      r.code = exit.code;
    }
    detachConsoleStreams();
    plat::headless::uninstall();
    for (int row = 0; row < plat::headless::HeadlessPlatform::kRows; ++row) {
      std::string text = p.screenRow(row);
      text.erase(text.find_last_not_of(' ') + 1);
      r.screen.push_back(plat::cp1252ToUtf8(text));
      std::string hex;
      for (int col = 0; col < plat::headless::HeadlessPlatform::kColumns; ++col) {
        char buf[3];
        std::snprintf(buf, sizeof buf, "%02X", p.attrAt(col, row));
        hex += buf;
      }
      r.attrs.push_back(hex);
    }
    for (const std::string& s : p.speech()) r.speech.push_back(plat::cp1252ToUtf8(s));
    magnifier_ = p.magnifierLog();
    return r;
  }

  fs::path dir_;
  std::vector<std::string> magnifier_;
};

const std::string kPrompt = "say " + u8("Sua op\xE7\xE3o: ");
const std::string kInvalid = "say " + u8("Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda");
const std::string kGoodbye = "say Fim do programa";

// --- Through the runner process -------------------------------------------

TEST_F(ScenarioTest, StartShowsBannerVersionHelpHintAndBluePrompt) {
  RunResult r = runTool("");
  EXPECT_EQ(r.code, 0);  // script exhausted: the user closes the window
  ASSERT_EQ(r.screen.size(), 25u);
  ASSERT_EQ(r.attrs.size(), 25u);
  for (int row = 0; row < 7; ++row) {
    ASSERT_NE(r.screen[row].find('*'), std::string::npos) << "banner row " << row;
    for (size_t col = 0; col < r.screen[row].size(); ++col) {
      if (r.screen[row][col] == '*') {
        EXPECT_EQ(r.attr(static_cast<int>(col), row) >> 4, 1) << row << "," << col;
      }
    }
  }
  EXPECT_EQ(r.screen[7].find('*'), std::string::npos);
  EXPECT_GE(r.rowStarting(u8("Talonix - vers\xE3o 2.3")), 7);
  EXPECT_GE(r.rowStarting("Aperte F1 se precisar de ajuda."), 8);
  const int prompt = r.rowStarting(u8("Sua op\xE7\xE3o:"));
  ASSERT_GT(prompt, 8);
  for (int col = 0; col < 11; ++col) EXPECT_EQ(r.attr(col, prompt) >> 4, 1) << col;
  EXPECT_TRUE(r.said("say Aperte F1 se precisar de ajuda."));
  EXPECT_EQ(words(r.speech).back(), kPrompt);
}

TEST_F(ScenarioTest, EscSaysGoodbyeAndEndsWithZero) {
  RunResult r = runTool("Esc\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(words(r.speech).back(), kGoodbye);
  EXPECT_GE(r.rowStarting("Fim do programa"), 0);
}

TEST_F(ScenarioTest, CtrlBreakEndsWith255) {
  RunResult r = runTool("Ctrl+Break Esc");
  EXPECT_EQ(r.code, 255);
  EXPECT_FALSE(r.said(kGoodbye));
}

TEST_F(ScenarioTest, DisplayColoursFromTheSettingsShowInTheAttributes) {
  writeLumira("[VIDEO]\r\nCORFUNDO=1\r\nCORLETRA=14\r\n");
  RunResult r = runTool("Esc");
  EXPECT_EQ(r.code, 0);
  const int version = r.rowStarting("Talonix");
  const int prompt = r.rowStarting(u8("Sua op\xE7\xE3o:"));
  ASSERT_GE(version, 0);
  ASSERT_GE(prompt, 0);
  EXPECT_EQ(r.attr(0, 0), 0x1E);        // banner: yellow on blue
  EXPECT_EQ(r.attr(0, version), 0x0E);  // after the banner: on black
  EXPECT_EQ(r.attr(0, prompt), 0x1E);   // the prompt on blue again
}

TEST_F(ScenarioTest, RecordedMessageIsPlayedInsteadOfSynthesised) {
  writeFile(workDir() / "sons" / "CHFIM.wav", tinyWave());
  writeLumira("[TALONIX]\r\nDIRTALONIX=" + (workDir() / "sons").string() + "\r\n");
  RunResult r = runTool("Esc");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.said("sound CHFIM"));
  EXPECT_FALSE(r.said(kGoodbye));
  EXPECT_GE(r.rowStarting("Fim do programa"), 0);  // still written
}

TEST_F(ScenarioTest, RunnerRejectsBadInvocations) {
  RunResult bad = runTool("Enter\n\"unterminated\n");
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.errors.find("line 2: unterminated string"), std::string::npos)
      << bad.errors;

  EXPECT_EQ(runTool("Esc", "--now 2023-02-29T10:00").code, 2);
  EXPECT_EQ(runTool("Esc", "--now 2024-02-29T24:00").code, 2);
  EXPECT_EQ(runTool("Esc", "--now yesterday").code, 2);
  EXPECT_EQ(runTool("Esc", "--bogus 1").code, 2);
  EXPECT_EQ(runTool("Esc", "--now 2024-02-29T23:59").code, 0);

  const std::string cmd = std::string("'") + TALONIX_RUN_PATH + "' 2> /dev/null";
  EXPECT_EQ(exitCodeOf(std::system(cmd.c_str())), 2);  // no --keys
  const std::string missing = std::string("'") + TALONIX_RUN_PATH +
                              "' --keys /nonexistent/keys.txt 2> /dev/null";
  EXPECT_EQ(exitCodeOf(std::system(missing.c_str())), 2);
}

// --- In this process ------------------------------------------------------

TEST_F(ScenarioTest, TypedLetterIsEchoedAndAnUnknownOneAnswered) {
  RunResult r = runHere("\"z\" Esc");
  EXPECT_EQ(r.code, 0);
  std::vector<std::string> next = words(r.after(kPrompt));
  ASSERT_GE(next.size(), 2u);
  EXPECT_EQ(next[0], "char 122");
  EXPECT_EQ(next[1], kInvalid);
  EXPECT_GE(r.rowStarting(u8("Sua op\xE7\xE3o: z")), 0);
  EXPECT_GE(r.rowStarting(u8("Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda")), 0);
}

TEST_F(ScenarioTest, EnterAndBackspaceJustGiveANewPrompt) {
  RunResult r = runHere("Enter Backspace Esc");
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(r.said(kInvalid));
  EXPECT_EQ(r.count(kPrompt), 3);
  std::vector<std::string> tail = words(r.after(kPrompt));
  EXPECT_EQ(tail, (std::vector<std::string>{kPrompt, kPrompt, kGoodbye}));
}

TEST_F(ScenarioTest, F1SpeaksSevenHelpLinesThenTheAttentionTone) {
  RunResult r = runHere("F1 Esc");
  const std::vector<std::string> help = {
      u8("As op\xE7\xF5" "es s\xE3o:"),
      "   C  configurar",
      "   E  emitir cheque",
      u8("   L  lan\xE7" "amento banc\xE1rio"),
      u8("   F  folhear lan\xE7" "amentos"),
      u8("   X  gera extrato dos lan\xE7" "amentos"),
      "   ESC  fim"};
  std::vector<std::string> next = words(r.after(kPrompt));
  ASSERT_GE(next.size(), 8u);
  for (size_t i = 0; i < help.size(); ++i) {
    EXPECT_EQ(next[i], "say " + help[i]);
    EXPECT_GE(r.rowStarting(help[i]), 0) << help[i];
  }
  EXPECT_EQ(next[7], "beep");
  EXPECT_EQ(r.code, 0);
}

TEST_F(ScenarioTest, KeysTypedDuringHelpAreDiscarded) {
  RunResult r = runHere("{ F1 \"zq\" } Esc");
  EXPECT_FALSE(r.said("char 122"));
  EXPECT_FALSE(r.said(kInvalid));
  EXPECT_TRUE(r.said("beep"));
  EXPECT_EQ(words(r.speech).back(), kGoodbye);
}

TEST_F(ScenarioTest, ClosingTheWindowEndsWithZero) {
  RunResult altF4 = runHere("Alt+F4 \"z\"");
  EXPECT_EQ(altF4.code, 0);
  EXPECT_FALSE(altF4.said("char 122"));  // nothing read after the close
  EXPECT_FALSE(altF4.said(kGoodbye));

  RunResult exhausted = runHere("Enter");
  EXPECT_EQ(exhausted.code, 0);
  EXPECT_EQ(words(exhausted.speech).back(), kPrompt);
}

TEST_F(ScenarioTest, AltCodesTakeTheKeyboardsPath) {
  // Ctrl+Alt+A queues 0, 30: an extended key the main menu ignores.
  RunResult ctrlAlt = runHere("Ctrl+Alt+A Esc");
  EXPECT_EQ(ctrlAlt.count(kPrompt), 2);
  EXPECT_FALSE(ctrlAlt.said(kInvalid));
  // Alt+A alone is a system key: nothing is queued, the prompt still waits.
  RunResult alt = runHere("Alt+A Esc");
  EXPECT_EQ(alt.count(kPrompt), 1);
  EXPECT_FALSE(alt.said(kInvalid));
  // Ctrl+A is the character 1: not a command.
  RunResult ctrl = runHere("Ctrl+A Esc");
  EXPECT_TRUE(ctrl.said(kInvalid));
}

TEST_F(ScenarioTest, BrailleChordsTypeCharacters) {
  writeLumira("[BRAILLE]\r\nMODO=1\r\n");
  RunResult r = runHere("chord:FD \"z\" chord:SPACE+F Esc");
  EXPECT_EQ(r.code, 0);
  std::vector<std::string> w = words(r.speech);
  ASSERT_GE(w.size(), 2u);
  EXPECT_EQ(w[0], "tone 800");  // the mode's signal at window creation
  EXPECT_EQ(w[1], "tone 1600");
  std::vector<std::string> next = words(r.after(kPrompt));
  ASSERT_GE(next.size(), 1u);
  EXPECT_EQ(next[0], "char 98");                        // F+D: "b"
  EXPECT_EQ(words(r.after(kPrompt, 2)).at(0), "char 32");  // Z alone: a blank
  EXPECT_EQ(words(r.after(kPrompt, 3)).at(0), kInvalid);   // Space+F: code 1
  EXPECT_GE(r.rowStarting(u8("Sua op\xE7\xE3o: b")), 0);
}

TEST_F(ScenarioTest, BrailleNumberSignMakesDigits) {
  writeLumira("[BRAILLE]\r\nMODO=2\r\n");
  RunResult r = runHere("chord:SJKL chord:F chord:FD Esc");
  std::vector<std::string> w = words(r.speech);
  EXPECT_EQ(std::vector<std::string>(w.begin(), w.begin() + 2),
            (std::vector<std::string>{"tone 800", "tone 400"}));
  EXPECT_EQ(words(r.after(kPrompt)).at(0), "char 49");
  EXPECT_EQ(words(r.after(kPrompt, 2)).at(0), "char 50");
}

TEST_F(ScenarioTest, BrailleModeSwitchesWithCtrlAltF11AndF12) {
  RunResult r = runHere("Ctrl+Alt+F11 chord:FD Ctrl+Alt+F12 \"z\" Esc");
  std::vector<std::string> w = words(r.speech);
  EXPECT_NE(std::find(w.begin(), w.end(), "tone 1600"), w.end());
  EXPECT_NE(std::find(w.begin(), w.end(), "tone 100"), w.end());
  EXPECT_TRUE(r.said("char 98"));   // a chord while on
  EXPECT_TRUE(r.said("char 122"));  // a plain letter once off again
}

TEST_F(ScenarioTest, AThousandKeysAtOnceKeepTheQueueLimit) {
  RunResult r = runHere("{ \"" + std::string(1000, 'z') + "\" }\nEsc\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.count("char 122"), 64);  // the queue holds 64, the rest drop
  EXPECT_EQ(words(r.speech).back(), kGoodbye);
}

TEST_F(ScenarioTest, GarbageSettingsNeverStopTheProgram) {
  const std::string longLine(100000, 'x');
  std::string binary;
  for (int i = 0; i < 512; ++i) binary += static_cast<char>((i * 37) & 0xFF);
  const std::vector<std::string> files = {
      "[VIDEO]\r\nCORFUNDO=99\r\nCORLETRA=-5\r\nTABCORES=99,300,-1,x\r\n",
      "[VIDEO]\r\nCORFUNDO=4000000000\r\nCORLETRA=255\r\nAMPLIF=0\r\n",
      "[VIDEO]\r\nAMPLIF=8\r\nLARGURALETRA=0\r\nALTURALETRA=-3\r\n",
      "[VIDEO\r\nCORFUNDO=1\r\n[VIDEO]\r\nCORLETRA=" + longLine + "\r\n",
      longLine + "\r\n[BRAILLE]\r\nMODO=" + longLine + "\r\n",
      binary,
      "[VIDEO]\r\n" + binary + "\r\nCORFUNDO=2\r\n",
  };
  for (size_t i = 0; i < files.size(); ++i) {
    writeLumira(files[i]);
    RunResult r = runHere("\"z\" F1 Esc");
    EXPECT_EQ(r.code, 0) << "file " << i;
    EXPECT_EQ(words(r.speech).back(), kGoodbye) << "file " << i;
    EXPECT_TRUE(r.said(kInvalid)) << "file " << i;
  }
  fs::remove(configDir() / "LUMIRA.INI");
  fs::create_directories(configDir() / "LUMIRA.INI");  // a directory in its place
  EXPECT_EQ(runHere("Esc").code, 0);
}

TEST_F(ScenarioTest, ScrollingByCopyingPixelsShowsWhatRepaintingShows) {
  const std::string keys = "Enter Enter Enter Enter Enter Enter Enter \"z\" F1 Enter";
  writeLumira("[VIDEO]\r\nLENTO=N\r\n");
  RunResult repainted = runHere(keys);
  writeLumira("[VIDEO]\r\nLENTO=S\r\n");
  RunResult copied = runHere(keys);
  EXPECT_EQ(copied.screen, repainted.screen);
  EXPECT_EQ(copied.attrs, repainted.attrs);
  EXPECT_EQ(copied.screen[24], u8("Sua op\xE7\xE3o:"));  // scrolled to the bottom
}

TEST_F(ScenarioTest, MagnifierFactorZeroIsNeverADivisor) {
  for (const char* factor : {"0", "8"}) {
    writeLumira(std::string("[VIDEO]\r\nAMPLIF=") + factor + "\r\n");
    plat::Event down;
    down.kind = plat::EventKind::kMouseRDown;
    down.x = 520;
    down.y = 350;
    plat::Event up = down;
    up.kind = plat::EventKind::kMouseRUp;
    RunResult r = runHere("", {plat::headless::KeyGroup{{down, up}}});
    EXPECT_EQ(r.code, 0);
    // Factor 0 works as 1: the whole window, unmagnified.
    EXPECT_EQ(magnifier_, (std::vector<std::string>{"snapshot", "stretch 0 0 1040 700",
                                                    "free"}))
        << "AMPLIF " << factor;
  }
}

TEST_F(ScenarioTest, MagnifierFollowsTheMouseWithTheConfiguredFactor) {
  plat::Event down;
  down.kind = plat::EventKind::kMouseRDown;
  down.x = 400;
  down.y = 200;
  plat::Event move = down;
  move.kind = plat::EventKind::kMouseMove;
  move.x = 1000;
  plat::Event up = move;
  up.kind = plat::EventKind::kMouseRUp;
  RunResult r = runHere("", {plat::headless::KeyGroup{{down, move, up}}});
  EXPECT_EQ(magnifier_,
            (std::vector<std::string>{"snapshot", "stretch 200 100 520 350",
                                      "stretch 500 100 520 350", "free"}));
  // The normal text is back after the release.
  EXPECT_GE(r.rowStarting(u8("Sua op\xE7\xE3o:")), 0);
}

}  // namespace
