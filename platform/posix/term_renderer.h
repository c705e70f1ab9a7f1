// Draws the 80 x 25 console grid on a terminal. The renderer keeps the cells
// the program wants and the cells the terminal is known to show; flush()
// returns the bytes that bring the terminal up to date: only changed cells,
// short cursor moves, 24-bit colours only when they change, UTF-8 text.
//
// A terminal smaller than the grid shows its top-left part; nothing is ever
// written where it would wrap or scroll the terminal. A full redraw (first
// draw, resize) clears the terminal to black first; terminals fill cleared
// cells with the current background (the usual xterm behaviour).
#ifndef TALONIX_PLATFORM_POSIX_TERM_RENDERER_H_
#define TALONIX_PLATFORM_POSIX_TERM_RENDERER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace plat::posix {

constexpr int kGridColumns = 80;
constexpr int kGridRows = 25;

struct Cell {
  uint8_t ch = ' ';  // Windows-1252
  plat::Rgb fg{192, 192, 192};
  plat::Rgb bg{0, 0, 0};
};

class Renderer {
 public:
  Renderer();

  // The terminal's size in cells; the next flush redraws everything.
  void setTerminalSize(int columns, int rows);
  void requestFullRedraw() { fullRedraw_ = true; }

  // Wanted cells: `count` characters of one row from `column`, clipped to
  // the grid.
  void put(int column, int row, const uint8_t* chars, int count,
           plat::Rgb fg, plat::Rgb bg);
  // Every wanted cell blank on `bg`.
  void fill(plat::Rgb bg);
  // Moves the wanted rows up by one; the bottom row becomes blank on `bg`.
  void scrollUp(plat::Rgb bg);
  // The text cursor, shown at its cell while visible.
  void setCaret(bool visible, int column, int row);
  // The window title (Windows-1252), sent on the next flush.
  void setTitle(std::string_view title);

  // The bytes to write to the terminal; afterwards the terminal is taken
  // to show the wanted cells.
  std::string flush();

  const Cell& wanted(int column, int row) const {
    return wanted_[row][column];
  }
  // Bytes produced by flush() so far.
  uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  bool needsDrawing(int column, int row) const;
  void moveTo(int column, int row, std::string* out);
  void setColors(const Cell& cell, std::string* out);
  void drawCell(int column, int row, std::string* out);
  // Bytes that redraw the unchanged cells from the cursor up to `column`
  // (instead of a cursor move), or empty when that is not possible.
  std::string rewriteGap(int column, int row) const;
  void clearTerminal(std::string* out);

  Cell wanted_[kGridRows][kGridColumns];
  Cell shown_[kGridRows][kGridColumns];
  int termColumns_ = kGridColumns;
  int termRows_ = kGridRows;
  bool fullRedraw_ = true;
  // What the terminal is known to be in; -1 / false = unknown.
  int cursorColumn_ = -1;
  int cursorRow_ = -1;
  bool fgKnown_ = false;
  bool bgKnown_ = false;
  plat::Rgb fg_, bg_;
  bool cursorShown_ = true;  // unknown at start: hidden on first flush
  bool caretVisible_ = false;
  int caretColumn_ = 0;
  int caretRow_ = 0;
  std::string title_;
  bool titlePending_ = false;
  uint64_t bytesWritten_ = 0;
};

// The UTF-8 form of a cell's character as the terminal shows it: control
// bytes as blanks, bytes Windows-1252 leaves unassigned as '?'.
std::string_view cellGlyph(uint8_t ch);

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERM_RENDERER_H_
