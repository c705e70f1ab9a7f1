// The console grid, its painting, clipboard, clock, tone and the ways the
// program ends.
#include <cstring>

#include "platform/shared/riff.h"
#include "tests/console_fixture.h"

namespace {

using ConsoleGrid = ConsoleFixture;

TEST_F(ConsoleGrid, EightiethCharacterWaitsAtTheEdgeAndTheNextWraps) {
  write(std::string(80, 'x'));
  EXPECT_EQ(cursorColumn(), 81);
  EXPECT_EQ(cursorRow(), 1);
  write("y");
  EXPECT_EQ(screenCharAt(1, 2), 'y');
  EXPECT_EQ(cursorColumn(), 2);
  EXPECT_EQ(cursorRow(), 2);
}

TEST_F(ConsoleGrid, LineEndAfterAFullRowLeavesNoEmptyRow) {
  write(std::string(80, 'x') + "\r\nz");
  EXPECT_EQ(screenCharAt(1, 2), 'z');
  EXPECT_EQ(cursorRow(), 2);
}

TEST_F(ConsoleGrid, LineFeedOnLastRowScrollsAndBlanksTheNewRow) {
  for (int row = 1; row <= 25; ++row) {
    write("row " + std::to_string(row));
    if (row < 25) write("\r\n");
  }
  setBackColor(2);
  write("\n");
  EXPECT_EQ(planeRow(1), "row 2");
  EXPECT_EQ(planeRow(24), "row 25");
  EXPECT_EQ(planeRow(25), "");
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 25);
  EXPECT_EQ(screenAttrAt(40, 25), 0x2F);
  // What the window shows follows the planes.
  EXPECT_EQ(paintedRow(1), "row 2");
  EXPECT_EQ(paintedRow(24), "row 25");
  EXPECT_EQ(platform_->attrAt(39, 24), 0x2F);
}

TEST_F(ConsoleGrid, SlowDisplayScrollsByCopyingTheWindow) {
  familySettings({"[VIDEO]", "LENTO=Sim"});
  write("top\r\n");
  for (int i = 0; i < 24; ++i) write("\r\n");
  EXPECT_EQ(planeRow(1), "");
  EXPECT_EQ(paintedRow(1), "");
  EXPECT_EQ(paintedRow(25), "");
}

TEST_F(ConsoleGrid, BackspaceStopsAtColumnOneAndTabIsIgnored) {
  write("\b");
  EXPECT_EQ(cursorColumn(), 1);
  write("ab\tc\b");
  EXPECT_EQ(planeRow(1), "ab");
  EXPECT_EQ(cursorColumn(), 3);
  EXPECT_EQ(paintedRow(1), "ab");
}

TEST_F(ConsoleGrid, OverwritingAfterCarriageReturnIsPainted) {
  write("hello\rJ");
  EXPECT_EQ(planeRow(1), "Jello");
  EXPECT_EQ(paintedRow(1), "Jello");
}

TEST_F(ConsoleGrid, OtherControlBytesAreIgnoredAndBellRings) {
  write(std::string("a\x01\x0B\x0C\x1B" "b\x07", 7));
  EXPECT_EQ(planeRow(1), "ab");
  EXPECT_EQ(platform_->beepCount(), 1);
}

TEST_F(ConsoleGrid, MoveCursorClampsIntoTheGrid) {
  moveCursor(0, 0);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 1);
  moveCursor(200, 99);
  EXPECT_EQ(cursorColumn(), 80);
  EXPECT_EQ(cursorRow(), 25);
}

TEST_F(ConsoleGrid, ColoursGoIntoTheCellsAndThePaint) {
  setBackColor(1);
  setTextColor(12);
  write("A");
  EXPECT_EQ(screenAttrAt(1, 1), 0x1C);
  EXPECT_EQ(platform_->attrAt(0, 0), 0x1C);
  const plat::headless::PaintedCell& cell = platform_->cellAt(0, 0);
  EXPECT_EQ(cell.fg.r, 255);
  EXPECT_EQ(cell.fg.g, 128);
  EXPECT_EQ(cell.bg.b, 255);
}

TEST_F(ConsoleGrid, FixedColoursIgnoreColourChanges) {
  familySettings({"[VIDEO]", "CORESFIXAS=Sim", "CORFUNDO=1", "CORLETRA=14"});
  setTextColor(12);
  setBackColor(4);
  write("A");
  EXPECT_EQ(screenAttrAt(1, 1), 0x1E);
}

TEST_F(ConsoleGrid, RemapTableChoosesThePaletteEntry) {
  familySettings({"[VIDEO]", "TABCORES=0,4,2"});
  setBackColor(1);
  write("A");
  EXPECT_EQ(screenAttrAt(1, 1), 0x1F);
  const plat::headless::PaintedCell& cell = platform_->cellAt(0, 0);
  EXPECT_EQ(cell.bg.r, 255);  // colour 1 drawn as palette entry 4, red
  EXPECT_EQ(cell.bg.b, 0);
}

TEST_F(ConsoleGrid, ClearScreenAndClearToLineEnd) {
  write("abcdef");
  moveCursor(3, 1);
  clearToLineEnd();
  EXPECT_EQ(planeRow(1), "ab");
  EXPECT_EQ(paintedRow(1), "ab");
  EXPECT_EQ(cursorColumn(), 3);
  moveCursor(1, 2);
  write(std::string(80, 'q'));
  clearToLineEnd();  // cursor past the edge: nothing to clear
  EXPECT_EQ(screenCharAt(80, 2), 'q');
  setBackColor(3);
  clearScreen();
  EXPECT_EQ(planeRow(2), "");
  EXPECT_EQ(screenAttrAt(80, 25), 0x3F);
  EXPECT_EQ(platform_->attrAt(79, 24), 0x3F);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 1);
}

TEST_F(ConsoleGrid, OutsideTheGridReadsBlankAndZero) {
  write("x");
  EXPECT_EQ(screenCharAt(81, 1), ' ');
  EXPECT_EQ(screenCharAt(0, 1), ' ');
  EXPECT_EQ(screenAttrAt(1, 26), 0);
  EXPECT_EQ(screenAttrAt(1, 0), 0);
}

TEST_F(ConsoleGrid, PaintMessageRepaintsFromThePlanes) {
  write("visible");
  plat::Event paint;
  paint.kind = plat::EventKind::kPaint;
  paint.x = -5;
  paint.y = 0;
  paint.x2 = 500;
  paint.y2 = 99;  // out-of-range rectangles are clipped
  EXPECT_TRUE(consoleWindowProc(paint));
  EXPECT_EQ(paintedRow(1), "visible");
}

TEST_F(ConsoleGrid, LongTextsAreWrittenWhole) {
  std::string text(70000, 'k');
  write(text);
  EXPECT_EQ(cursorRow(), 25);
  EXPECT_EQ(screenCharAt(1, 1), 'k');
}

using ConsoleServices = ConsoleFixture;

TEST_F(ConsoleServices, PasteHonoursCapacityAndTerminates) {
  copyToClipboard("0123456789");
  char buffer[16];
  std::memset(buffer, 'z', sizeof buffer);
  pasteFromClipboard(buffer, 5);
  EXPECT_STREQ(buffer, "0123");
  EXPECT_EQ(buffer[5], 'z');
  pasteFromClipboard(buffer, 16);
  EXPECT_STREQ(buffer, "0123456789");
}

TEST_F(ConsoleServices, PasteFailuresLeaveOrEmptyTheBuffer) {
  char buffer[8] = "keep";
  pasteFromClipboard(buffer, 0);
  EXPECT_STREQ(buffer, "keep");
  platform_->setClipboardUnavailable(true);
  copyToClipboard("new");
  pasteFromClipboard(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "keep");
  platform_->setClipboardUnavailable(false);
  platform_->clearClipboard();
  pasteFromClipboard(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "");
}

TEST_F(ConsoleServices, PasteStopsAtAnEmbeddedNul) {
  platform_->setClipboardText(std::string("ab\0cd", 5));
  char buffer[8];
  pasteFromClipboard(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "ab");
}

TEST_F(ConsoleServices, DateAndTimeComeFromTheClock) {
  DateParts d = currentDate();
  EXPECT_EQ(d.year, 2025);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 28);
  EXPECT_EQ(d.weekday, 5);
  TimeParts t = currentTime();
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 58);
  EXPECT_EQ(t.hundredths, 99);
  waitMs(1020);  // across midnight into March
  d = currentDate();
  EXPECT_EQ(d.month, 3);
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(d.weekday, 6);
}

uint32_t le32(const std::string& s, size_t at) {
  return plat::get32(reinterpret_cast<const uint8_t*>(s.data()) + at);
}

TEST_F(ConsoleServices, ToneImageIsASquareWaveWithItsHeader) {
  const std::string image = buildToneImage(1000);
  ASSERT_EQ(image.size(), 11071u);
  EXPECT_EQ(image.substr(0, 4), "RIFF");
  EXPECT_EQ(image.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(le32(image, 24), 11025u);
  const uint32_t data = le32(image, 40);
  EXPECT_EQ(le32(image, 4), data + 36);
  // Period 11: five low samples, six high; periods start at n*11025/1000.
  EXPECT_EQ(static_cast<uint8_t>(image[44]), 96);
  EXPECT_EQ(static_cast<uint8_t>(image[48]), 96);
  EXPECT_EQ(static_cast<uint8_t>(image[49]), 160);
  EXPECT_EQ(static_cast<uint8_t>(image[54]), 160);
  EXPECT_EQ(static_cast<uint8_t>(image[55]), 96);
  EXPECT_EQ(static_cast<uint8_t>(image[44 + data - 1]), 128);
  EXPECT_LE(44 + data, 11071u);
  EXPECT_GE(44 + data, 11025u - 11);
}

TEST_F(ConsoleServices, TonesWithoutAPeriodAreSilentNotHung) {
  for (uint16_t f : {0, 11026, 65535}) {
    const std::string image = buildToneImage(f);
    EXPECT_EQ(le32(image, 40), 0u) << f;
  }
  const std::string highest = buildToneImage(11025);
  EXPECT_GT(le32(highest, 40), 10000u);
}

TEST_F(ConsoleServices, PlayToneLoopsUntilStopped) {
  playTone(800);
  EXPECT_TRUE(platform_->looping());
  EXPECT_EQ(platform_->loopingImage().size(), 11071u);
  playTone(400);  // the first is replaced
  EXPECT_TRUE(platform_->looping());
  stopTone();
  EXPECT_FALSE(platform_->looping());
  ASSERT_GE(platform_->speech().size(), 2u);
  EXPECT_EQ(platform_->speech()[0], "tone 800");
  EXPECT_EQ(platform_->speech()[1], "tone 400");
}

using ConsoleWindow = ConsoleFixture;

TEST_F(ConsoleWindow, CreatedOnFirstUseWithTheSettings) {
  EXPECT_FALSE(platform_->windowCreated());
  familySettings({"[VIDEO]", "FONTE=Courier New", "ALTURALETRA=20"});
  write("x");
  EXPECT_TRUE(platform_->windowCreated());
  EXPECT_EQ(platform_->windowConfig().fontFace, "Courier New");
  EXPECT_EQ(platform_->windowConfig().fontHeight, 20);
  EXPECT_EQ(platform_->windowConfig().fontWidth, 13);
  EXPECT_TRUE(platform_->windowConfig().maximized);
}

TEST_F(ConsoleWindow, MagnifierKeepsThePointUnderTheMouse) {
  familySettings({"[VIDEO]", "AMPLIF=4"});
  openConsole();
  plat::Event e;
  e.kind = plat::EventKind::kMouseRDown;
  e.x = 520;
  e.y = 400;
  consoleWindowProc(e);
  consoleWindowProc(e);  // a second press while magnifying is ignored
  e.kind = plat::EventKind::kMouseMove;
  e.x = 0;
  e.y = 0;
  consoleWindowProc(e);
  e.kind = plat::EventKind::kMouseRUp;
  consoleWindowProc(e);
  e.kind = plat::EventKind::kMouseMove;
  consoleWindowProc(e);  // released: no more drawing
  const std::vector<std::string> expected = {
      "snapshot", "stretch 390 300 260 175", "stretch 0 0 260 175", "free"};
  EXPECT_EQ(platform_->magnifierLog(), expected);
}

TEST_F(ConsoleWindow, MagnifierFactorZeroDoesNotDivideByZero) {
  familySettings({"[VIDEO]", "AMPLIF=8"});
  openConsole();
  plat::Event e;
  e.kind = plat::EventKind::kMouseRDown;
  e.x = 100;
  e.y = 50;
  consoleWindowProc(e);
  ASSERT_EQ(platform_->magnifierLog().size(), 2u);
  EXPECT_EQ(platform_->magnifierLog()[1], "stretch 0 0 1040 700");
}

TEST_F(ConsoleWindow, CaretFollowsFocusWhileReading) {
  openConsole();
  consoleState().reading = true;
  plat::Event e;
  e.kind = plat::EventKind::kKillFocus;
  consoleWindowProc(e);
  EXPECT_FALSE(platform_->caretShown());
  moveCursor(5, 3);
  e.kind = plat::EventKind::kSetFocus;
  consoleWindowProc(e);
  EXPECT_TRUE(platform_->caretShown());
  EXPECT_EQ(platform_->caretColumn(), 4);
  EXPECT_EQ(platform_->caretRow(), 2);
  consoleState().reading = false;
}

TEST_F(ConsoleWindow, WaveDoneGoesToTheHandlerOnlyWhenEnabled) {
  static uintptr_t seen = 0;
  seen = 0;
  consoleState().waveDoneHandler = [](uintptr_t w, uintptr_t) { seen = w; };
  plat::Event e;
  e.kind = plat::EventKind::kWaveDone;
  e.wparam = 7;
  EXPECT_FALSE(consoleWindowProc(e));
  EXPECT_EQ(seen, 0u);
  consoleState().waveDoneEnabled = true;
  EXPECT_TRUE(consoleWindowProc(e));
  EXPECT_EQ(seen, 7u);
}

TEST_F(ConsoleWindow, CloseDiscardsKeysAndEndsWithZero) {
  write("x");
  plat::Event c;
  c.kind = plat::EventKind::kChar;
  c.code = 'a';
  consoleWindowProc(c);
  EXPECT_EQ(exitCodeOf([] { closeConsole(); }), 0);
  EXPECT_EQ(keyQueue().count, 0);
  EXPECT_FALSE(consoleState().created);
}

TEST_F(ConsoleWindow, CloseRequestEndsWithZero) {
  write("x");
  plat::Event e;
  e.kind = plat::EventKind::kClose;
  platform_->postEvent(e);
  EXPECT_EQ(exitCodeOf([] { pumpMessages(); }), 0);
}

TEST_F(ConsoleWindow, QuitMessageEndsWith255AndMarksTheWindow) {
  write("x");
  platform_->postQuit();
  EXPECT_EQ(exitCodeOf([] { waitMs(10); }), 255);
  EXPECT_EQ(platform_->title(), "Programa terminado");
}

}  // namespace
