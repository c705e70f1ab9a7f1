// The grid: cells, cursor, output, scrolling and painting.
#include "console/console.h"

#include <algorithm>
#include <cstring>

namespace {

ConsoleState state;

const plat::Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

int cellIndex(int column, int row) { return row * kConsoleColumns + column; }

void fillCells(int from, int to, uint8_t attribute) {
  std::memset(state.chars + from, ' ', to - from);
  std::memset(state.attrs + from, attribute, to - from);
}

// Dirty span of the cursor row during one writeChars call.
struct Span {
  int first;
  int last;
};

void newLine(Span& span) {
  paintSpan(state.cursorRow, span.first, span.last);
  span = {0, 0};
  if (state.cursorRow < kConsoleRows - 1) {
    ++state.cursorRow;
    return;
  }
  const int rowBytes = kConsoleColumns;
  std::memmove(state.chars, state.chars + rowBytes,
               (kConsoleRows - 1) * rowBytes);
  std::memmove(state.attrs, state.attrs + rowBytes,
               (kConsoleRows - 1) * rowBytes);
  fillCells(cellIndex(0, kConsoleRows - 1), kConsoleRows * kConsoleColumns,
            state.attribute);
  if (!state.created) return;
  plat::Window& p = plat::window();
  if (state.slowDisplay && p.isActiveWindow() &&
      p.windowBottom() < p.screenHeight() - 32) {
    p.scrollUpOneLine(colorOf(state.attribute >> 4), state.attribute);
  } else {
    p.invalidateAll(false);
  }
  p.updateWindow();
}

}  // namespace

ConsoleState& consoleState() { return state; }

void resetConsole() {
  state = ConsoleState();
  std::memset(state.chars, ' ', sizeof state.chars);
  std::memset(state.attrs, state.attribute, sizeof state.attrs);
  for (int i = 0; i < 16; ++i) state.remap[i] = static_cast<uint8_t>(i);
}

plat::Rgb colorOf(int nibble) { return kPalette[state.remap[nibble & 15] & 15]; }

void paintSpan(int row, int first, int last) {
  if (!state.created || row < 0 || row >= kConsoleRows) return;
  first = std::max(first, 0);
  last = std::min(last, kConsoleColumns);
  plat::Window& p = plat::window();
  while (first < last) {
    const int start = cellIndex(first, row);
    const uint8_t attr = state.attrs[start];
    int end = first + 1;
    while (end < last && state.attrs[cellIndex(end, row)] == attr) ++end;
    p.textOut(first, row, state.chars + start, end - first, colorOf(attr & 15),
              colorOf(attr >> 4), attr);
    first = end;
  }
}

void writeChars(const char* bytes, uint16_t count) {
  openConsole();
  Span span{state.cursorColumn, state.cursorColumn};
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t c = static_cast<uint8_t>(bytes[i]);
    if (c == 7) {
      plat::window().messageBeep();
    } else if (c == 8) {
      if (state.cursorColumn >= 1) {
        --state.cursorColumn;
        const int at = cellIndex(state.cursorColumn, state.cursorRow);
        state.chars[at] = ' ';
        state.attrs[at] = state.attribute;
        span.first = std::min(span.first, state.cursorColumn);
      }
    } else if (c == 10) {
      newLine(span);
      state.cursorColumn = 0;
    } else if (c == 13) {
      state.cursorColumn = 0;
    } else if (c >= 32) {
      if (state.cursorColumn >= kConsoleColumns) {
        state.cursorColumn = 0;
        newLine(span);
      }
      const int at = cellIndex(state.cursorColumn, state.cursorRow);
      state.chars[at] = c;
      state.attrs[at] = state.attribute;
      // After a CR the span must also reach back to the column written.
      span.first = std::min(span.first, state.cursorColumn);
      ++state.cursorColumn;
      span.last = std::max(span.last, state.cursorColumn);
    }
  }
  paintSpan(state.cursorRow, span.first, span.last);
}

void writeText(std::string_view text) {
  while (!text.empty()) {
    const size_t n = std::min<size_t>(text.size(), 65535);
    writeChars(text.data(), static_cast<uint16_t>(n));
    text.remove_prefix(n);
  }
}

void writeLineEnd() { writeChars("\r\n", 2); }

void moveCursor(int column, int row) {
  state.cursorColumn = std::clamp(column - 1, 0, kConsoleColumns - 1);
  state.cursorRow = std::clamp(row - 1, 0, kConsoleRows - 1);
}

int cursorColumn() { return state.cursorColumn + 1; }
int cursorRow() { return state.cursorRow + 1; }

void clearScreen() {
  openConsole();
  fillCells(0, kConsoleRows * kConsoleColumns, state.attribute);
  state.cursorColumn = 0;
  state.cursorRow = 0;
  if (!state.created) return;
  plat::window().invalidateAll(false);
  plat::window().updateWindow();
}

void clearToLineEnd() {
  openConsole();
  if (state.cursorColumn >= kConsoleColumns) return;
  fillCells(cellIndex(state.cursorColumn, state.cursorRow),
            cellIndex(0, state.cursorRow) + kConsoleColumns, state.attribute);
  paintSpan(state.cursorRow, state.cursorColumn, kConsoleColumns);
}

void setTextColor(int color) {
  openConsole();
  if (state.colorsFixed) return;
  state.attribute = static_cast<uint8_t>((state.attribute & 0xF0) | (color & 0x0F));
}

void setBackColor(int color) {
  openConsole();
  if (state.colorsFixed) return;
  state.attribute =
      static_cast<uint8_t>((state.attribute & 0x0F) | ((color * 16) & 0xF0));
}

uint8_t currentAttribute() { return state.attribute; }
void setAttribute(uint8_t attribute) { state.attribute = attribute; }

ScopedAttribute::ScopedAttribute() : saved_(state.attribute) {}
ScopedAttribute::~ScopedAttribute() { state.attribute = saved_; }

void setWaveDoneHandler(void (*handler)(uintptr_t, uintptr_t)) {
  state.waveDoneHandler = handler;
  state.waveDoneEnabled = handler != nullptr;
}

uint8_t screenCharAt(int column, int row) {
  if (column < 1 || column > kConsoleColumns || row < 1 || row > kConsoleRows)
    return ' ';
  return state.chars[cellIndex(column - 1, row - 1)];
}

uint8_t screenAttrAt(int column, int row) {
  if (column < 1 || column > kConsoleColumns || row < 1 || row > kConsoleRows)
    return 0;
  return state.attrs[cellIndex(column - 1, row - 1)];
}
