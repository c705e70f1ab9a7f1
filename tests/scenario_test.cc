// End-to-end scenarios: the real program driven by key scripts, checked by
// what the user would see (screen, colours) and hear (speech record). A few
// run the built talonix-run as a separate process, exactly as a user of the
// runner would; the rest run the program in this process for speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "platform/headless/transcript.h"
#include "platform/shared/codepage.h"
#include "platform/shared/riff.h"
#include "tests/key_helpers.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using runnertest::contains;
using runnertest::countOf;
using runnertest::inOrder;
using runnertest::Lines;
using runnertest::RunnerFixture;
using runnertest::RunResult;
using runnertest::without;
using testfiles::writeFile;

namespace fs = std::filesystem;

// Program texts are Windows-1252; the runner's files are UTF-8.
std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

// Speech without the pauses, which the assertions do not care about.
Lines words(const Lines& speech) { return without(speech, {"pause"}); }

// A mouse event at a pixel of the window.
plat::Event mouse(plat::EventKind kind, int x, int y) {
  plat::Event e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  return e;
}

// A minimal 8-bit mono PCM recording.
std::string tinyWave() {
  std::string wave(plat::kPcmHeaderBytes, '\0');
  plat::writePcmHeader(reinterpret_cast<uint8_t*>(wave.data()), 200, 11025, 8, 1);
  return wave + std::string(200, static_cast<char>(128));
}

class ScenarioTest : public RunnerFixture {
 protected:
  void writeLumira(const std::string& bytes) { writeFile(configDir() / "LUMIRA.INI", bytes); }

  // The program in this process, read as the runner would write it.
  // `extra` events run as further groups after the script (mouse events,
  // which a key script cannot name).
  RunResult runHere(const std::string& script,
                    const std::vector<plat::headless::KeyGroup>& extra = {}) {
    std::vector<plat::headless::KeyGroup> groups = keytest::keyGroups(script);
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
    static_cast<plat::headless::Transcript&>(r) = plat::headless::transcriptOf(p);
    magnifier_ = p.magnifierLog();
    return r;
  }

  std::vector<std::string> magnifier_;
};

const std::string kPrompt = "say " + u8("Sua op\xE7\xE3o: ");
const std::string kInvalid = "say " + u8("Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda");
const std::string kGoodbye = "say Fim do programa";

// --- Through the runner process -------------------------------------------

TEST_F(ScenarioTest, StartShowsBannerVersionHelpHintAndBluePrompt) {
  RunResult r = run("");
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
  RunResult r = run("Esc\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(words(r.speech).back(), kGoodbye);
  EXPECT_GE(r.rowStarting("Fim do programa"), 0);
}

TEST_F(ScenarioTest, CtrlBreakEndsWith255) {
  RunResult r = run("Ctrl+Break Esc");
  EXPECT_EQ(r.code, 255);
  EXPECT_FALSE(r.said(kGoodbye));
}

TEST_F(ScenarioTest, DisplayColoursFromTheSettingsShowInTheAttributes) {
  writeLumira("[VIDEO]\r\nCORFUNDO=1\r\nCORLETRA=14\r\n");
  RunResult r = run("Esc");
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
  RunResult r = run("Esc");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.said("sound CHFIM"));
  EXPECT_FALSE(r.said(kGoodbye));
  EXPECT_GE(r.rowStarting("Fim do programa"), 0);  // still written
}

TEST_F(ScenarioTest, RunnerRejectsBadInvocations) {
  RunResult bad = run("Enter\n\"unterminated\n");
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.errors.find("line 2: unterminated string"), std::string::npos)
      << bad.errors;

  EXPECT_EQ(run("Esc", {"--now", "2023-02-29T10:00"}).code, 2);
  EXPECT_EQ(run("Esc", {"--now", "2024-02-29T24:00"}).code, 2);
  EXPECT_EQ(run("Esc", {"--now", "yesterday"}).code, 2);
  EXPECT_EQ(run("Esc", {"--bogus", "1"}).code, 2);
  EXPECT_EQ(run("Esc", {"--now", "2024-02-29T23:59"}).code, 0);

  EXPECT_EQ(runRaw({}), 2);  // no --keys
  EXPECT_EQ(runRaw({"--keys", "/nonexistent/keys.txt"}), 2);
  EXPECT_EQ(runRaw({"--keys", workDir().string()}), 2);  // a directory is no script
}

// The lines of a levels record that sounded, without their levels.
Lines heard(const Lines& levels) {
  Lines out;
  for (const std::string& line : levels) {
    if (line.rfind("-inf\t", 0) != 0) out.push_back(line.substr(line.find('\t') + 1));
  }
  return out;
}

TEST_F(ScenarioTest, AKeyPressedDuringSpeechCutsIt) {
  const Lines help = {"say " + u8("As op\xE7\xF5" "es s\xE3o:"), "say    C  configurar",
                      "say    E  emitir cheque", "say " + u8("   L  lan\xE7" "amento banc\xE1rio"),
                      "say " + u8("   F  folhear lan\xE7" "amentos"),
                      "say " + u8("   X  gera extrato dos lan\xE7" "amentos"), "say    ESC  fim"};
  RunResult whole = runWithAudio("F1 Esc");
  ASSERT_EQ(whole.code, 0);
  for (const std::string& line : help) EXPECT_TRUE(contains(heard(whole.levels), line)) << line;

  // Esc while the help speaks (each line is one wait): the rest of the
  // help goes unheard, though each line is still recorded; the help drops
  // the key, the attention tone sounds and the menu asks again, so the next
  // Esc ends the program.
  RunResult cut = runWithAudio("F1 ~2:Esc Esc");
  EXPECT_EQ(cut.code, 0);
  EXPECT_EQ(cut.speech, whole.speech);
  const Lines cutHeard = heard(cut.levels);
  EXPECT_TRUE(contains(cutHeard, help[0]));
  for (size_t i = 1; i < help.size(); ++i) EXPECT_FALSE(contains(cutHeard, help[i])) << help[i];
  EXPECT_TRUE(inOrder(cutHeard, {help[0], "beep", kPrompt, kGoodbye}));
  EXPECT_LT(cut.audio.size(), whole.audio.size());

  // Esc during the attention tone: it cuts the tone, the prompt stays
  // silent and the key ends the program; the script's "z" is never read.
  RunResult late = runWithAudio("F1 ~8:Esc \"z\"");
  EXPECT_EQ(late.code, 0);
  EXPECT_FALSE(late.said("char 122"));
  EXPECT_TRUE(late.said("beep"));
  EXPECT_EQ(words(late.speech).back(), kGoodbye);
  const Lines lateHeard = heard(late.levels);
  EXPECT_TRUE(contains(lateHeard, help.back()));
  EXPECT_FALSE(contains(lateHeard, "beep"));
  EXPECT_EQ(countOf(lateHeard, kPrompt), 1);  // only the prompt before F1
  EXPECT_EQ(lateHeard.back(), kGoodbye);

  // A program that falls silent sooner gets the key as an ordinary one.
  EXPECT_EQ(runWithAudio("F1 ~1000:Esc").levels, whole.levels);
}

TEST_F(ScenarioTest, TheClipboardIsWrittenAsUtf8ByteForByte) {
  // The entry form's first field holds today's date; Ctrl+C copies it with
  // its line end. Esc leaves the form, Esc again gives it up, Esc ends.
  RunResult copied = run("l Ctrl+C Esc Esc Esc", {"--now", "2024-03-01T10:30"});
  EXPECT_EQ(copied.code, 0);
  EXPECT_EQ(copied.clipboard, "01/03/2024\r\n");

  plat::headless::HeadlessConfig config;
  config.configDir = configDir();
  config.workDir = workDir();
  plat::headless::HeadlessPlatform p(config);
  plat::headless::TranscriptFiles files;
  files.clipboard = dir() / "clip.txt";
  p.setClipboardText("S\xE3o Jos\xE9\r\n\x80");
  EXPECT_TRUE(plat::headless::writeTranscript(p, files).empty());
  EXPECT_EQ(plat::headless::readTranscript(files).clipboard, u8("S\xE3o Jos\xE9\r\n\x80"));
  p.clearClipboard();  // no text: an empty file, not the old one
  EXPECT_TRUE(plat::headless::writeTranscript(p, files).empty());
  EXPECT_TRUE(fs::exists(files.clipboard));
  EXPECT_EQ(fs::file_size(files.clipboard), 0u);
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
  // The screen's own palette, and one remapped so that no colour shows as
  // the entry of its own number.
  for (const std::string colors : {"", "TABCORES=4,2,1,3,0,5,6,7,8,9,10,11,12,13,14,15\r\n"}) {
    writeLumira("[VIDEO]\r\nLENTO=N\r\n" + colors);
    RunResult repainted = runHere(keys);
    writeLumira("[VIDEO]\r\nLENTO=S\r\n" + colors);
    RunResult copied = runHere(keys);
    EXPECT_EQ(copied.screen, repainted.screen) << colors;
    EXPECT_EQ(copied.attrs, repainted.attrs) << colors;
    EXPECT_EQ(copied.screen[24], u8("Sua op\xE7\xE3o:"));  // scrolled to the bottom
  }
}

TEST_F(ScenarioTest, MagnifierFactorZeroIsNeverADivisor) {
  for (const char* factor : {"0", "8"}) {
    writeLumira(std::string("[VIDEO]\r\nAMPLIF=") + factor + "\r\n");
    const plat::headless::KeyGroup click{{mouse(plat::EventKind::kMouseRDown, 520, 350),
                                          mouse(plat::EventKind::kMouseRUp, 520, 350)}};
    RunResult r = runHere("", {click});
    EXPECT_EQ(r.code, 0);
    // Factor 0 works as 1: the whole window, unmagnified.
    EXPECT_EQ(magnifier_, (std::vector<std::string>{"snapshot", "stretch 0 0 1040 700",
                                                    "free"}))
        << "AMPLIF " << factor;
  }
}

TEST_F(ScenarioTest, MagnifierFollowsTheMouseWithTheConfiguredFactor) {
  const plat::headless::KeyGroup drag{{mouse(plat::EventKind::kMouseRDown, 400, 200),
                                       mouse(plat::EventKind::kMouseMove, 1000, 200),
                                       mouse(plat::EventKind::kMouseRUp, 1000, 200)}};
  RunResult r = runHere("", {drag});
  EXPECT_EQ(magnifier_,
            (std::vector<std::string>{"snapshot", "stretch 200 100 520 350",
                                      "stretch 500 100 520 350", "free"}));
  // The normal text is back after the release.
  EXPECT_GE(r.rowStarting(u8("Sua op\xE7\xE3o:")), 0);
}

}  // namespace
