// The console window: creation, its window procedure, the message pumps,
// the magnifier and the ways the program ends.
#include <algorithm>
#include <cstring>

#include "console/console.h"
#include "console/display_settings.h"
#include "console/keyboard.h"

namespace {

void paintCells(const plat::Event& e) {
  ConsoleState& s = consoleState();
  s.painting = true;
  const int firstRow = std::max(0, e.y), lastRow = std::min(kConsoleRows, e.y2);
  for (int row = firstRow; row < lastRow; ++row) paintSpan(row, e.x, e.x2);
  s.painting = false;
}

void magnifyAt(int x, int y) {
  ConsoleState& s = consoleState();
  int width = 0, height = 0;
  plat::window().clientSize(&width, &height);
  const int f = std::max(1, s.magnifierFactor);
  plat::magnifier().stretchSnapshot(std::max(0, x - x / f),
                                   std::max(0, y - y / f), width / f,
                                   height / f);
}

void onFocus(bool gained) {
  ConsoleState& s = consoleState();
  s.focused = gained;
  if (gained && s.reading) {
    plat::window().showCaret(s.cursorColumn, s.cursorRow);
  } else if (!gained) {
    plat::window().hideCaret();
  }
}

bool onMouse(const plat::Event& e) {
  ConsoleState& s = consoleState();
  switch (e.kind) {
    case plat::EventKind::kMouseRDown:
      if (s.magnifying) return true;
      s.magnifying = true;
      plat::magnifier().takeSnapshot();
      magnifyAt(e.x, e.y);
      return true;
    case plat::EventKind::kMouseMove:
      if (s.magnifying) magnifyAt(e.x, e.y);
      return true;
    default:  // right button released
      if (!s.magnifying) return true;
      s.magnifying = false;
      plat::magnifier().freeSnapshot();
      plat::window().invalidateAll(true);
      return true;
  }
}

// A quit message or Ctrl+Break while the caret shows: take it away first.
void dropCaretIfReading() {
  ConsoleState& s = consoleState();
  if (s.reading && s.focused) plat::window().hideCaret();
}

void pump(bool consoleOnly) {
  for (;;) {
    plat::PumpResult r = plat::window().pumpOne(consoleOnly);
    if (r == plat::PumpResult::kEmpty) return;
    if (r == plat::PumpResult::kQuit) {
      dropCaretIfReading();
      haltProgram(255);
    }
  }
}

}  // namespace

bool consoleWindowProc(const plat::Event& e) {
  switch (e.kind) {
    case plat::EventKind::kChar: return onCharMessage(e);
    case plat::EventKind::kKeyDown: return onKeyDownMessage(e);
    case plat::EventKind::kSysKeyDown: return onSysKeyDownMessage(e);
    case plat::EventKind::kKeyUp: return onKeyUpMessage(e);
    case plat::EventKind::kSetFocus: onFocus(true); return true;
    case plat::EventKind::kKillFocus: onFocus(false); return true;
    case plat::EventKind::kClose: closeConsole();
    case plat::EventKind::kPaint: paintCells(e); return true;
    case plat::EventKind::kMouseRDown:
    case plat::EventKind::kMouseMove:
    case plat::EventKind::kMouseRUp: return onMouse(e);
    case plat::EventKind::kWaveDone: {
      ConsoleState& s = consoleState();
      if (!s.waveDoneEnabled || !s.waveDoneHandler) return false;
      s.waveDoneHandler(e.wparam, e.lparam);
      return true;
    }
    case plat::EventKind::kDestroy: {
      // Destroyed by some other path: the planes go, the program ends.
      ConsoleState& s = consoleState();
      s.created = false;
      s.cursorColumn = s.cursorRow = 0;
      haltProgram(255);
    }
    case plat::EventKind::kUser: return false;
  }
  return false;
}

void startConsole() {
  resetConsole();
  resetKeyboard();
  ConsoleState& s = consoleState();
  s.programTitle = plat::system().programPath().substr(0, 80);
  plat::window().setWindowProc(&consoleWindowProc);
  attachConsoleStreams();
}

void openConsole() {
  ConsoleState& s = consoleState();
  if (s.created) return;
  DisplaySettings d = readDisplaySettings(s.remap);
  std::memcpy(s.remap, d.remap, sizeof s.remap);
  s.colorsFixed = d.colorsFixed;
  s.slowDisplay = d.slowDisplay;
  s.attribute = d.initialAttribute;
  s.magnifierFactor = d.magnifierFactor;
  plat::WindowConfig config;
  config.title = s.programTitle;
  config.fontFace = d.fontFace;
  config.fontWidth = d.fontWidth;
  config.fontHeight = d.fontHeight;
  config.fontWeight = d.fontWeight;
  config.maximized = d.maximized;
  // Without a window the grid still works; nothing is shown.
  plat::window().createWindow(config, &s.metrics);
  std::memset(s.chars, ' ', sizeof s.chars);
  std::memset(s.attrs, s.attribute, sizeof s.attrs);
  s.cursorColumn = s.cursorRow = 0;
  s.created = true;
  s.focused = plat::window().hasFocus();
  setBrailleMode(d.brailleMode);
}

void waitMs(uint16_t ms) {
  plat::system().sleepMs(ms);
  pumpMessages();
  pumpConsoleMessages();
}

void pumpMessages() { pump(false); }
void pumpConsoleMessages() { pump(true); }

void closeConsole() {
  ConsoleState& s = consoleState();
  // Discarding keys pumps messages; a second close request met there must
  // not start the shut-down again.
  if (s.closing) plat::exitProgram(0);
  s.closing = true;
  if (void (*hook)() = s.beforeClose) {
    s.beforeClose = nullptr;
    hook();
  }
  if (s.created) {
    while (keyAvailable()) readKey();
    stopTone();
    plat::window().destroyWindow();
    s.created = false;
  }
  s.closing = false;
  plat::exitProgram(0);
}

void haltProgram(int code) {
  if (consoleState().created) {
    plat::window().setTitle("Programa terminado");
  }
  plat::exitProgram(code);
}
