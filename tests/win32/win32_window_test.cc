// The Win32 console window on a real desktop (wine under Xvfb): native key
// messages reach the procedure as events with their modifiers, unhandled
// ones get Windows' default processing, cells are drawn at the grid's
// pixels in their colours, scrolling and the magnifier move those pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/program.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_magnifier.h"
#include "platform/win32/win32_window.h"

namespace {

using plat::Event;
using plat::EventKind;
using plat::win32::Win32Window;

std::vector<Event> seen;
bool handleAll = true;
// Drawn on every kPaint, as the core repaints its planes.
Win32Window* painter = nullptr;

bool recordingProc(const Event& e) {
  seen.push_back(e);
  if (e.kind == EventKind::kPaint && painter) {
    const uint8_t text[] = "Paint";
    painter->textOut(e.x, e.y, text, 5, plat::Rgb{255, 255, 0}, plat::Rgb{0, 0, 255}, 0x1E);
  }
  return handleAll;
}

// Pumps until nothing is pending; returns the events seen, painting and
// focus left out.
std::vector<Event> pumpAll(Win32Window& w) {
  while (w.pumpOne(false) == plat::PumpResult::kDispatched) {
  }
  std::vector<Event> events;
  for (const Event& e : seen) {
    if (e.kind != EventKind::kPaint && e.kind != EventKind::kSetFocus &&
        e.kind != EventKind::kKillFocus && e.kind != EventKind::kMouseMove)
      events.push_back(e);
  }
  return events;
}

COLORREF pixelAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

// How many pixels of the cell show the colour.
int pixelsOf(HWND hwnd, const plat::FontMetrics& m, int column, int row, COLORREF colour) {
  HDC dc = GetDC(hwnd);
  int n = 0;
  for (int y = row * m.lineHeight; y < (row + 1) * m.lineHeight; ++y)
    for (int x = column * m.cellWidth; x < (column + 1) * m.cellWidth; ++x)
      n += GetPixel(dc, x, y) == colour;
  ReleaseDC(hwnd, dc);
  return n;
}

// wine without an X display makes windows that never show nor get
// messages: there is no desktop to test on then.
bool noDesktop() {
  const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
  const char* display = std::getenv("DISPLAY");
  return wine && (!display || !*display);
}

TEST(Win32WindowTest, MessagesPaintingScrollAndMagnifierOnARealWindow) {
  if (noDesktop()) GTEST_SKIP() << "wine without an X display (run under xvfb-run)";
  Win32Window window;
  window.setWindowProc(&recordingProc);
  plat::WindowConfig config;
  config.title = "Talonix teste";
  config.fontFace = "Courier New";
  config.fontWidth = 8;
  config.fontHeight = 16;
  config.maximized = false;
  plat::FontMetrics m;
  if (!window.createWindow(config, &m)) GTEST_SKIP() << "no desktop to open a window on";
  HWND hwnd = window.handle();
  ASSERT_TRUE(m.fontCreated);
  EXPECT_EQ(m.cellWidth, 8);
  EXPECT_EQ(m.lineHeight, 16);
  char title[64] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  EXPECT_STREQ(title, "Talonix teste");
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  pumpAll(window);
  seen.clear();

  // Keys: Shift held as the thread's key state says; WM_CHAR keeps its
  // Windows-1252 byte; the pump translates the key into its shifted
  // character, which joins the queue behind.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  seen.clear();
  PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  PostMessageA(hwnd, WM_CHAR, 0xC7, 0);  // Ç
  std::vector<Event> got = pumpAll(window);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].kind, EventKind::kKeyDown);
  EXPECT_EQ(got[0].code, uint32_t{'A'});
  EXPECT_TRUE(got[0].shift);
  EXPECT_FALSE(got[0].ctrl);
  EXPECT_EQ(got[1].kind, EventKind::kChar);
  EXPECT_EQ(got[1].code, 0xC7u);
  EXPECT_EQ(got[2].kind, EventKind::kChar);
  EXPECT_EQ(got[2].code, uint32_t{'A'});
  EXPECT_TRUE(got[2].shift);
  EXPECT_TRUE(window.keyHeld(plat::kVkShift));
  EXPECT_FALSE(window.keyHeld('A'));
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);

  // Private messages, a finished wave buffer, an event handed over by
  // another thread and the right button, in their order.
  seen.clear();
  window.postMessage(plat::kMsgWakeOther);
  PostMessageA(hwnd, 0x3BD, 5, 6);
  std::thread([&] {
    Event e = plat::eventOf(EventKind::kWaveDone);
    e.wparam = 7;
    window.postEvent(e);
  }).join();
  PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 40));
  PostMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(31, 41));
  // The console's own pump leaves the thread's other messages waiting.
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 5, 0, 0);
  while (window.pumpOne(true) == plat::PumpResult::kDispatched) {
  }
  MSG left;
  EXPECT_TRUE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(left.message, UINT{WM_USER + 5});
  got = pumpAll(window);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[3].kind, EventKind::kMouseRDown);
  EXPECT_EQ(got[3].x, 30);
  EXPECT_EQ(got[3].y, 40);
  EXPECT_EQ(got[4].kind, EventKind::kMouseRUp);
  EXPECT_EQ(got[0].kind, EventKind::kUser);
  EXPECT_EQ(got[0].code, plat::kMsgWakeOther);
  EXPECT_EQ(got[1].kind, EventKind::kWaveDone);
  EXPECT_EQ(got[1].wparam, 5u);
  EXPECT_EQ(got[1].lparam, 6u);
  EXPECT_EQ(got[2].kind, EventKind::kWaveDone);
  EXPECT_EQ(got[2].wparam, 7u);

  // The invalid rectangle arrives in cells, rounded outwards.
  seen.clear();
  painter = &window;
  RECT part{3 * 8 + 1, 2 * 16, 5 * 8 + 2, 3 * 16 + 1};
  ValidateRect(hwnd, nullptr);
  InvalidateRect(hwnd, &part, FALSE);
  window.updateWindow();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].kind, EventKind::kPaint);
  EXPECT_EQ(seen[0].x, 3);
  EXPECT_EQ(seen[0].x2, 6);
  EXPECT_EQ(seen[0].y, 2);
  EXPECT_EQ(seen[0].y2, 4);
  // What was drawn during the paint shows (clipped to the invalid area).
  EXPECT_GT(pixelsOf(hwnd, m, 3, 2, RGB(255, 255, 0)), 0);
  painter = nullptr;

  // Cells at their pixels: blanks in the background colour fill the whole
  // cell, letters show the foreground, neighbours stay untouched.
  const uint8_t blanks[] = "  ";
  window.textOut(10, 5, blanks, 2, plat::Rgb{255, 255, 255}, plat::Rgb{255, 0, 0}, 0x4F);
  const uint8_t letters[] = "WM";
  window.textOut(78, 24, letters, 5, plat::Rgb{0, 255, 0}, plat::Rgb{0, 0, 0}, 0x02);
  window.textOut(-3, 24, letters, 2, plat::Rgb{0, 255, 0}, plat::Rgb{0, 0, 0}, 0x02);
  EXPECT_EQ(pixelsOf(hwnd, m, 10, 5, RGB(255, 0, 0)), 8 * 16);
  EXPECT_EQ(pixelsOf(hwnd, m, 11, 5, RGB(255, 0, 0)), 8 * 16);
  EXPECT_EQ(pixelsOf(hwnd, m, 12, 5, RGB(255, 0, 0)), 0);
  EXPECT_EQ(pixelsOf(hwnd, m, 10, 4, RGB(255, 0, 0)), 0);
  EXPECT_GT(pixelsOf(hwnd, m, 78, 24, RGB(0, 255, 0)), 4);
  EXPECT_GT(pixelsOf(hwnd, m, 79, 24, RGB(0, 255, 0)), 4);
  EXPECT_EQ(pixelsOf(hwnd, m, 0, 24, RGB(0, 255, 0)), 0);  // left of the grid: skipped

  // The caret sits on the baseline of its cell.
  window.showCaret(4, 7);
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 4 * 8);
  EXPECT_EQ(caret.y, 7 * 16 + m.ascent);
  window.hideCaret();

  // Scrolling moves every line up one and fills the last with the colour.
  window.scrollUpOneLine(plat::Rgb{0, 0, 255}, 0x10);
  EXPECT_EQ(pixelsOf(hwnd, m, 10, 4, RGB(255, 0, 0)), 8 * 16);
  EXPECT_EQ(pixelsOf(hwnd, m, 10, 5, RGB(255, 0, 0)), 0);
  EXPECT_GT(pixelsOf(hwnd, m, 78, 23, RGB(0, 255, 0)), 4);
  EXPECT_EQ(pixelsOf(hwnd, m, 40, 24, RGB(0, 0, 255)), 8 * 16);

  // The magnifier stretches the snapshot's top-left quarter over the
  // window: the red cell at (10, 4) now covers twice its pixels.
  plat::win32::Win32Magnifier magnifier(window);
  magnifier.takeSnapshot();
  int width = 0, height = 0;
  window.clientSize(&width, &height);
  magnifier.stretchSnapshot(0, 0, width / 2, height / 2);
  EXPECT_EQ(pixelAt(hwnd, 2 * 10 * 8 + 3, 2 * 4 * 16 + 3), RGB(255, 0, 0));
  EXPECT_EQ(pixelAt(hwnd, 2 * 11 * 8 + 15, 2 * 4 * 16 + 30), RGB(255, 0, 0));
  EXPECT_NE(pixelAt(hwnd, 2 * 12 * 8 + 3, 2 * 4 * 16 + 3), RGB(255, 0, 0));
  magnifier.freeSnapshot();
  magnifier.stretchSnapshot(0, 0, 10, 10);  // no snapshot: nothing happens

  // A full repaint of the grid, one call per row as the core draws it.
  std::vector<uint8_t> row(80, 'x');
  const auto start = std::chrono::steady_clock::now();
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    for (int r = 0; r < 25; ++r)
      window.textOut(0, r, row.data(), 80, plat::Rgb{255, 255, 255}, plat::Rgb{0, 0, 0}, 0x0F);
    GdiFlush();
  }
  const double ms = std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now() - start).count() / kRounds;
  std::printf("[ figure ] full 80x25 repaint: %.2f ms\n", ms);

  // From a posted key message to the procedure.
  constexpr int kKeys = 200;
  double totalUs = 0;
  for (int i = 0; i < kKeys; ++i) {
    seen.clear();
    const auto posted = std::chrono::steady_clock::now();
    PostMessageA(hwnd, WM_CHAR, 'a', 0);
    while (seen.empty() && window.pumpOne(false) != plat::PumpResult::kEmpty) {
    }
    totalUs += std::chrono::duration<double, std::micro>(
                   std::chrono::steady_clock::now() - posted).count();
  }
  std::printf("[ figure ] WM_CHAR posted -> procedure: %.1f us\n", totalUs / kKeys);

  // Alt+F4 left to the default asks to close; a close left to the
  // default destroys the window, tells the procedure, and ends the loop.
  handleAll = false;
  seen.clear();
  PostMessageA(hwnd, WM_SYSKEYDOWN, VK_F4, 1 << 29);
  plat::PumpResult r;
  do {
    r = window.pumpOne(false);
  } while (r == plat::PumpResult::kDispatched);
  EXPECT_EQ(r, plat::PumpResult::kQuit);
  bool closed = false, destroyed = false;
  for (const Event& e : seen) {
    closed = closed || e.kind == EventKind::kClose;
    destroyed = destroyed || e.kind == EventKind::kDestroy;
  }
  EXPECT_TRUE(closed);
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.handle(), nullptr);
  handleAll = true;
  window.setWindowProc(nullptr);
}

}  // namespace

namespace {

// The whole road of a key on Windows: the native key messages through the
// backend's loop and the core's window procedure into the program's key
// queue. A figure, not a check.
TEST(Win32WindowTest, KeyDownToTheProgramsQueueFigure) {
  if (noDesktop()) GTEST_SKIP() << "wine without an X display (run under xvfb-run)";
  plat::win32::Win32Backend backend;
  backend.install();
  resetProgramState();
  startConsole();
  openConsole();
  HWND hwnd = backend.window.handle();
  ASSERT_NE(hwnd, nullptr);
  constexpr int kKeys = 200;
  double totalUs = 0;
  int arrived = 0;
  for (int i = 0; i < kKeys; ++i) {
    const auto posted = std::chrono::steady_clock::now();
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0x001E0001);
    PostMessageA(hwnd, WM_CHAR, 'a', 0x001E0001);
    for (int spins = 0; !keyAvailable() && spins < 1000; ++spins) pumpMessages();
    totalUs += std::chrono::duration<double, std::micro>(
                   std::chrono::steady_clock::now() - posted).count();
    if (keyAvailable()) {
      arrived += readKey() == 'a';
      while (keyAvailable()) readKey();
    }
  }
  EXPECT_EQ(arrived, kKeys);
  std::printf("[ figure ] key down -> program's key queue: %.1f us\n", totalUs / kKeys);

  // F10 alone is a system key without Alt, and a key of the program; a
  // bare tap of Alt must not open the window menu, which would take the
  // next key without a word.
  PostMessageA(hwnd, WM_SYSKEYDOWN, VK_F10, 0x00440001);
  PostMessageA(hwnd, WM_SYSKEYUP, VK_F10, 0xC0440001);
  PostMessageA(hwnd, WM_SYSKEYDOWN, VK_MENU, 0x20380001);
  PostMessageA(hwnd, WM_SYSKEYUP, VK_MENU, 0xC0380001);
  PostMessageA(hwnd, WM_CHAR, 'b', 0x00300001);
  for (int spins = 0; spins < 200; ++spins) pumpMessages();
  std::vector<int> queued;
  while (keyAvailable()) queued.push_back(readKey());
  EXPECT_EQ(queued, (std::vector<int>{0, 68, 'b'}));
  EXPECT_FALSE(backend.window.keyHeld(plat::kVkMenu));
  backend.window.setWindowProc(nullptr);
  backend.window.destroyWindow();
  plat::clearServices();
}

}  // namespace
