#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shared/riff.h"

namespace {

namespace fs = std::filesystem;
using plat::headless::HeadlessPlatform;
using plat::Event;
using plat::EventKind;
using plat::PumpResult;

// The window procedure is a plain function: it records into this fixture.
std::vector<Event> seen;
bool handleEverything = true;

bool recordingProc(const Event& e) {
  seen.push_back(e);
  return handleEverything;
}

Event makeEvent(EventKind kind, uint32_t code = 0) {
  Event e;
  e.kind = kind;
  e.code = code;
  return e;
}

plat::LocalTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  plat::LocalTime t;
  t.year = y;
  t.month = mo;
  t.day = d;
  t.hour = h;
  t.minute = mi;
  t.second = s;
  t.millisecond = ms;
  return t;
}

class HeadlessPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    handleEverything = true;
    dir_ = fs::temp_directory_path() /
           ("talonix-headless-" + std::string(::testing::UnitTest::GetInstance()
                                                  ->current_test_info()
                                                  ->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "work");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  HeadlessPlatform& make(plat::LocalTime start = at(2024, 3, 1, 10, 30)) {
    plat::headless::HeadlessConfig c;
    c.configDir = dir_ / "config";
    c.workDir = dir_ / "work";
    c.startTime = start;
    p_ = std::make_unique<HeadlessPlatform>(c);
    p_->setWindowProc(&recordingProc);
    return *p_;
  }

  HeadlessPlatform& withWindow() {
    HeadlessPlatform& p = make();
    plat::FontMetrics m;
    EXPECT_TRUE(p.createWindow(plat::WindowConfig{}, &m));
    return p;
  }

  fs::path dir_;
  std::unique_ptr<HeadlessPlatform> p_;
};

// --- Clock ------------------------------------------------------------------

TEST_F(HeadlessPlatformTest, VirtualClockAdvancesOnlyBySleeping) {
  HeadlessPlatform& p = make(at(2024, 2, 28, 23, 59, 59, 500));
  EXPECT_EQ(p.tickMs(), 0u);
  plat::LocalTime t = p.localTime();
  EXPECT_EQ(t.day, 28);
  EXPECT_EQ(t.weekday, 3);  // Wednesday
  EXPECT_EQ(t.millisecond, 500);
  p.sleepMs(1000);
  t = p.localTime();
  EXPECT_EQ(p.tickMs(), 1000u);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);  // leap day
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.second, 0);
  EXPECT_EQ(t.millisecond, 500);
  EXPECT_EQ(t.weekday, 4);
  p.sleepMs(86400000);
  EXPECT_EQ(p.localTime().month, 3);
  EXPECT_EQ(p.localTime().day, 1);
}

TEST_F(HeadlessPlatformTest, VirtualClockCrossesTheYear) {
  HeadlessPlatform& p = make(at(2023, 12, 31, 23, 59));
  p.sleepMs(60000);
  plat::LocalTime t = p.localTime();
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.weekday, 1);  // Monday
}

TEST_F(HeadlessPlatformTest, DefaultStartIsTheRealDate) {
  plat::headless::HeadlessConfig c;
  c.configDir = dir_;
  c.workDir = dir_;
  HeadlessPlatform p(c);
  plat::LocalTime t = p.localTime();
  EXPECT_GE(t.year, 2024);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
}

// --- Event queue -----------------------------------------------------------

TEST_F(HeadlessPlatformTest, EventsAreDispatchedInOrderAndQuitIsNot) {
  HeadlessPlatform& p = make();
  EXPECT_EQ(p.pumpOne(false), PumpResult::kEmpty);
  p.postEvent(makeEvent(EventKind::kChar, 'a'));
  p.postMessage(plat::kMsgWakeSpeech);
  p.postQuit();
  p.postEvent(makeEvent(EventKind::kChar, 'b'));
  EXPECT_EQ(p.pumpOne(false), PumpResult::kDispatched);
  EXPECT_EQ(p.pumpOne(true), PumpResult::kDispatched);
  EXPECT_EQ(p.pumpOne(false), PumpResult::kQuit);
  EXPECT_EQ(p.pumpOne(false), PumpResult::kDispatched);
  EXPECT_EQ(p.pumpOne(false), PumpResult::kEmpty);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].code, 'a');
  EXPECT_EQ(seen[1].kind, EventKind::kUser);
  EXPECT_EQ(seen[1].code, plat::kMsgWakeSpeech);
  EXPECT_EQ(seen[2].code, 'b');
}

TEST_F(HeadlessPlatformTest, UnhandledAltF4BecomesACloseRequest) {
  HeadlessPlatform& p = make();
  handleEverything = false;
  Event altF4 = makeEvent(EventKind::kSysKeyDown, plat::kVkF4);
  altF4.alt = true;
  p.postEvent(altF4);
  p.postEvent(makeEvent(EventKind::kChar, 'x'));
  p.pumpOne(false);
  p.pumpOne(false);  // the close comes at once, before later messages
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[1].kind, EventKind::kClose);
  // Left unhandled too, the close destroys the window, as on every backend.
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].kind, EventKind::kDestroy);
  EXPECT_FALSE(p.windowCreated());
}

TEST_F(HeadlessPlatformTest, HandledOrOtherSystemKeysDoNotClose) {
  HeadlessPlatform& p = make();
  Event altF4 = makeEvent(EventKind::kSysKeyDown, plat::kVkF4);
  altF4.alt = true;
  p.postEvent(altF4);  // handled by the program
  handleEverything = true;
  p.pumpOne(false);
  handleEverything = false;
  Event altF5 = altF4;
  altF5.code = plat::kVkF4 + 1;
  p.postEvent(altF5);
  p.pumpOne(false);
  EXPECT_EQ(p.pumpOne(false), PumpResult::kEmpty);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(HeadlessPlatformTest, KeysArriveOnlyWhenTheProgramIsIdle) {
  HeadlessPlatform& p = make();
  plat::headless::KeyGroup first{{makeEvent(EventKind::kChar, '1'), makeEvent(EventKind::kChar, '2')}};
  plat::headless::KeyGroup second{{makeEvent(EventKind::kChar, '3')}};
  p.addKeyGroups({first, second});

  p.postEvent(makeEvent(EventKind::kUser, 7));
  p.waitEvent();  // something is pending: no keys yet
  EXPECT_EQ(p.pendingEvents(), 1u);
  p.pumpOne(false);

  p.waitEvent();  // idle: the whole first group at once
  EXPECT_EQ(p.pendingEvents(), 2u);
  EXPECT_EQ(p.keyGroupsLeft(), 1u);
  while (p.pumpOne(false) != PumpResult::kEmpty) {
  }
  p.waitEvent();
  p.pumpOne(false);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[3].code, '3');
}

TEST_F(HeadlessPlatformTest, ExhaustedScriptClosesTheWindowThenQuits) {
  HeadlessPlatform& p = make();
  p.waitEvent();
  EXPECT_EQ(p.pumpOne(false), PumpResult::kDispatched);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, EventKind::kClose);
  // A program that keeps waiting after the close is not left hanging.
  p.waitEvent();
  EXPECT_EQ(p.pumpOne(false), PumpResult::kQuit);
  p.waitEvent();
  EXPECT_EQ(p.pumpOne(false), PumpResult::kQuit);
  EXPECT_EQ(seen.size(), 1u);
}

// --- Window and paint ------------------------------------------------------

TEST_F(HeadlessPlatformTest, CreateWindowGivesMetricsFocusAndTitle) {
  HeadlessPlatform& p = make();
  EXPECT_FALSE(p.hasFocus());
  plat::WindowConfig config;
  config.title = "/x/talonix";
  config.fontFace = "Lucida Console";
  plat::FontMetrics m;
  ASSERT_TRUE(p.createWindow(config, &m));
  EXPECT_EQ(m.cellWidth, 13);
  EXPECT_EQ(m.lineHeight, 28);
  EXPECT_TRUE(m.fontCreated);
  EXPECT_TRUE(p.hasFocus());
  EXPECT_EQ(p.title(), "/x/talonix");
  EXPECT_EQ(p.windowConfig().fontFace, "Lucida Console");
  p.setTitle("Talonix");
  EXPECT_EQ(p.title(), "Talonix");
  int w = 0, h = 0;
  p.clientSize(&w, &h);
  EXPECT_EQ(w, 1040);
  EXPECT_EQ(h, 700);
}

TEST_F(HeadlessPlatformTest, WindowCreationCanFail) {
  HeadlessPlatform& p = make();
  p.setWindowCreationFails(true);
  plat::FontMetrics m;
  EXPECT_FALSE(p.createWindow(plat::WindowConfig{}, &m));
  EXPECT_FALSE(m.fontCreated);
  const uint8_t text[] = "A";
  p.textOut(0, 0, text, 1, {}, {}, 0x1F);
  EXPECT_EQ(p.attrAt(0, 0), 0);  // nothing to paint on
}

TEST_F(HeadlessPlatformTest, TextOutPaintsCellsAndClipsAtTheEdges) {
  HeadlessPlatform& p = withWindow();
  const uint8_t text[] = {'a', 'b', 'c', 0xE3};
  p.textOut(78, 3, text, 4, {255, 255, 0}, {0, 0, 255}, 0x1E);
  p.textOut(-2, 4, text, 4, {}, {}, 0x0F);
  p.textOut(0, 25, text, 4, {}, {}, 0x0F);   // below the grid
  p.textOut(0, -1, text, 4, {}, {}, 0x0F);
  EXPECT_EQ(p.screenRow(3).substr(78), "ab");
  EXPECT_EQ(p.attrAt(79, 3), 0x1E);
  EXPECT_EQ(p.cellAt(79, 3).bg.b, 255);
  EXPECT_EQ(p.screenRow(4).substr(0, 3), "c\xE3 ");
  EXPECT_EQ(p.screenRow(24), std::string(80, ' '));
  EXPECT_EQ(p.attrAt(80, 3), 0);  // outside
}

TEST_F(HeadlessPlatformTest, ScrollMovesThePaintedGridUp) {
  HeadlessPlatform& p = withWindow();
  const uint8_t top[] = "top", bottom[] = "end";
  p.textOut(0, 1, top, 3, {}, {}, 0x1F);
  p.textOut(0, 24, bottom, 3, {}, {}, 0x4F);
  p.scrollUpOneLine({0, 0, 255}, 0x1F);
  EXPECT_EQ(p.screenRow(0).substr(0, 3), "top");
  EXPECT_EQ(p.attrAt(0, 0), 0x1F);
  EXPECT_EQ(p.screenRow(23).substr(0, 3), "end");
  EXPECT_EQ(p.screenRow(24), std::string(80, ' '));
  EXPECT_EQ(p.attrAt(0, 24) >> 4, 1);  // the blue fill
}

TEST_F(HeadlessPlatformTest, InvalidationIsDeliveredAsOnePaint) {
  HeadlessPlatform& p = withWindow();
  p.updateWindow();
  EXPECT_TRUE(seen.empty());  // nothing invalid, nothing painted
  p.invalidateAll(false);
  p.postEvent(makeEvent(EventKind::kChar, 'k'));
  p.waitEvent();  // returns: messages are pending
  EXPECT_EQ(p.keyGroupsLeft(), 0u);
  EXPECT_EQ(p.pumpOne(false), PumpResult::kDispatched);  // the key first
  EXPECT_EQ(p.pumpOne(false), PumpResult::kDispatched);  // then the paint
  EXPECT_EQ(p.pumpOne(false), PumpResult::kEmpty);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].kind, EventKind::kPaint);
  EXPECT_EQ(seen[1].x, 0);
  EXPECT_EQ(seen[1].y, 0);
  EXPECT_EQ(seen[1].x2, 80);
  EXPECT_EQ(seen[1].y2, 25);

  p.invalidateAll(false);
  p.updateWindow();  // at once
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_FALSE(p.invalid());
}

TEST_F(HeadlessPlatformTest, ErasingClearsThePaintedGrid) {
  HeadlessPlatform& p = withWindow();
  const uint8_t text[] = "x";
  p.textOut(5, 5, text, 1, {}, {}, 0x1F);
  p.invalidateAll(true);
  EXPECT_EQ(p.screenRow(5), std::string(80, ' '));
  EXPECT_EQ(p.attrAt(5, 5), 0);
}

TEST_F(HeadlessPlatformTest, FocusCaretAndMagnifierAreRecorded) {
  HeadlessPlatform& p = withWindow();
  p.showCaret(11, 14);
  EXPECT_TRUE(p.caretShown());
  EXPECT_EQ(p.caretColumn(), 11);
  EXPECT_EQ(p.caretRow(), 14);
  p.hideCaret();
  EXPECT_FALSE(p.caretShown());
  p.postEvent(makeEvent(EventKind::kKillFocus));
  p.pumpOne(false);
  EXPECT_FALSE(p.hasFocus());
  p.postEvent(makeEvent(EventKind::kSetFocus));
  p.pumpOne(false);
  EXPECT_TRUE(p.hasFocus());
  p.takeSnapshot();
  p.stretchSnapshot(1, 2, 3, 4);
  p.freeSnapshot();
  EXPECT_EQ(p.magnifierLog(),
            (std::vector<std::string>{"snapshot", "stretch 1 2 3 4", "free"}));
  p.destroyWindow();
  EXPECT_FALSE(p.windowCreated());
}

// --- Sound, clipboard, record, exit ----------------------------------------

TEST_F(HeadlessPlatformTest, SoundsAreCountedAndCopied) {
  HeadlessPlatform& p = make();
  p.messageBeep();
  p.messageBeep();
  EXPECT_EQ(p.beepCount(), 2);
  std::vector<uint8_t> image(plat::kPcmHeaderBytes + 2, 128);
  plat::writePcmHeader(image.data(), 2, 11025, 8, 1);
  p.playLoopingWave(image.data(), image.size());
  image[0] = 'X';  // the caller's buffer may change or go
  EXPECT_TRUE(p.looping());
  EXPECT_EQ(p.loopingImage()[0], 'R');
  p.stopLoopingWave();
  EXPECT_FALSE(p.looping());
  EXPECT_TRUE(p.loopingImage().empty());
  // What a device could not play is not played, as on every backend.
  const uint8_t junk[] = {'R', 'I', 'F', 'F', 1, 2};
  p.playLoopingWave(junk, sizeof junk);
  EXPECT_FALSE(p.looping());
}

TEST_F(HeadlessPlatformTest, ClipboardKeepsTextAndCanBeUnavailable) {
  HeadlessPlatform& p = make();
  std::string text = "old";
  bool hasText = true;
  ASSERT_TRUE(p.getClipboardText(&text, &hasText));
  EXPECT_FALSE(hasText);
  EXPECT_TRUE(p.setClipboardText("Sua op\xE7\xE3o"));
  ASSERT_TRUE(p.getClipboardText(&text, &hasText));
  EXPECT_TRUE(hasText);
  EXPECT_EQ(text, "Sua op\xE7\xE3o");

  p.setClipboardUnavailable(true);
  EXPECT_FALSE(p.setClipboardText("other"));
  text = "mine";
  EXPECT_FALSE(p.getClipboardText(&text, &hasText));
  EXPECT_EQ(text, "mine");
  p.setClipboardUnavailable(false);
  EXPECT_EQ(p.clipboardText(), "Sua op\xE7\xE3o");
  p.clearClipboard();
  ASSERT_TRUE(p.getClipboardText(&text, &hasText));
  EXPECT_FALSE(hasText);
}

TEST_F(HeadlessPlatformTest, RecordAndExit) {
  HeadlessPlatform& p = make();
  p.record("say Fim do programa");
  p.record("char 227");
  EXPECT_EQ(p.speech(), (std::vector<std::string>{"say Fim do programa", "char 227"}));
  try {
    p.exitProcess(255);
    FAIL() << "exitProcess returned";
  } catch (const plat::ExitRequest& e) {
    EXPECT_EQ(e.code, 255);
  }
}

// --- Files, directories, profile strings -----------------------------------

TEST_F(HeadlessPlatformTest, DirectoriesAndProgramPath) {
  HeadlessPlatform& p = make();
  EXPECT_EQ(p.windowsDirectory(), (dir_ / "config").string());
  EXPECT_EQ(p.currentDirectory(), (dir_ / "work").string());
  EXPECT_EQ(p.programPath(), (dir_ / "work" / "talonix").string());
#ifdef _WIN32
  EXPECT_EQ(p.pathSeparator(), '\\');
#else
  EXPECT_EQ(p.pathSeparator(), '/');
#endif
}

TEST_F(HeadlessPlatformTest, NativePathsResolveAgainstTheWorkDir) {
  HeadlessPlatform& p = make();
  EXPECT_EQ(p.nativePath("sons\\CHFIM.wav"), dir_ / "work" / "sons" / "CHFIM.wav");
#ifndef _WIN32  // there "/abs" is relative to the current drive
  EXPECT_EQ(p.nativePath("/abs/x"), fs::path("/abs/x"));
#endif
  // Windows-1252 names become UTF-8 file names.
  EXPECT_EQ(p.nativePath("op\xE7\xE3o.txt").filename().string(), "op\xC3\xA7\xC3\xA3o.txt");
  std::ofstream(dir_ / "work" / fs::path(u8"op\u00E7\u00E3o.txt")) << "x";
  EXPECT_TRUE(p.fileExists("op\xE7\xE3o.txt"));
  EXPECT_FALSE(p.fileExists("nada.txt"));
}

TEST_F(HeadlessPlatformTest, ProfileStringsLiveInTheConfigDir) {
  plat::Profile& p = *make().services().profile;
  char buf[80];
  EXPECT_EQ(p.getPrivateProfileString("VIDEO", "CORFUNDO", "0", buf, sizeof buf,
                                      "LUMIRA.INI"),
            1u);
  EXPECT_STREQ(buf, "0");
  ASSERT_TRUE(p.writePrivateProfileString("VIDEO", "CORFUNDO", "1", "LUMIRA.INI"));
  EXPECT_TRUE(fs::exists(dir_ / "config" / "LUMIRA.INI"));
  p.getPrivateProfileString("video", "corfundo", "0", buf, sizeof buf, "LUMIRA.INI");
  EXPECT_STREQ(buf, "1");
  // A path with a directory is relative to the current directory.
  ASSERT_TRUE(p.writePrivateProfileString("A", "B", "C", "sub\\X.INI"));
  EXPECT_TRUE(fs::exists(dir_ / "work" / "sub" / "X.INI"));

  std::ofstream(dir_ / "config" / "WIN.INI", std::ios::binary) << "[windows]\r\ndevice=Printer,drv,LPT1:\r\n";
  p.getProfileString("windows", "device", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "Printer,drv,LPT1:");
}

}  // namespace
