#include "platform/posix/term_renderer.h"

#include <algorithm>
#include <array>

#include "platform/posix/term_charset.h"

namespace plat::posix {
namespace {

constexpr size_t kMaxGapRewrite = 4;

bool sameRgb(plat::Rgb a, plat::Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

// UTF-8 of every Windows-1252 byte, built once.
const std::array<std::string, 256>& glyphTable() {
  static const std::array<std::string, 256> table = [] {
    std::array<std::string, 256> t;
    for (int i = 0; i < 256; ++i) {
      const uint32_t cp = cp1252ToCodePoint(static_cast<uint8_t>(i));
      if (i < 32 || i == 127) {
        t[i].push_back(' ');
      } else if (cp == 0) {
        t[i].push_back('?');
      } else {
        appendUtf8(&t[i], cp);
      }
    }
    return t;
  }();
  return table;
}

bool isBlank(uint8_t ch) { return cellGlyph(ch) == " "; }

// Two cells look the same: on a blank the foreground does not show.
bool looksSame(const Cell& a, const Cell& b) {
  if (!sameRgb(a.bg, b.bg)) return false;
  const bool blankA = isBlank(a.ch), blankB = isBlank(b.ch);
  if (blankA || blankB) return blankA && blankB;
  return a.ch == b.ch && sameRgb(a.fg, b.fg);
}

void appendNumber(std::string* out, int n) { *out += std::to_string(n); }

std::string csi(int n, char final) {
  std::string s = "\x1b[";
  if (n != 1) appendNumber(&s, n);
  s.push_back(final);
  return s;
}

// Horizontal move within the cursor's row.
std::string horizontal(int from, int to) {
  if (to == from) return "";
  if (to == 0) return "\r";
  std::string rel = to > from ? csi(to - from, 'C') : csi(from - to, 'D');
  std::string viaCr(1, '\r');
  viaCr.append(csi(to, 'C'));
  return viaCr.size() < rel.size() ? viaCr : rel;
}

void appendColor(std::string* out, int base, plat::Rgb c) {
  appendNumber(out, base);
  *out += ";2;";
  appendNumber(out, c.r);
  out->push_back(';');
  appendNumber(out, c.g);
  out->push_back(';');
  appendNumber(out, c.b);
}

}  // namespace

std::string_view cellGlyph(uint8_t ch) { return glyphTable()[ch]; }

Renderer::Renderer() { fill(plat::Rgb{}); }

void Renderer::setTerminalSize(int columns, int rows) {
  termColumns_ = std::max(0, columns);
  termRows_ = std::max(0, rows);
  fullRedraw_ = true;
}

void Renderer::put(int column, int row, const uint8_t* chars, int count,
                   plat::Rgb fg, plat::Rgb bg) {
  if (row < 0 || row >= kGridRows || !chars) return;
  for (int i = 0; i < count; ++i) {
    const int c = column + i;
    if (c < 0) continue;
    if (c >= kGridColumns) break;
    wanted_[row][c] = Cell{chars[i], fg, bg};
  }
}

void Renderer::fill(plat::Rgb bg) {
  for (auto& row : wanted_) {
    for (Cell& cell : row) cell = Cell{' ', cell.fg, bg};
  }
}

void Renderer::scrollUp(plat::Rgb bg) {
  std::copy(&wanted_[1][0], &wanted_[0][0] + kGridRows * kGridColumns,
            &wanted_[0][0]);
  for (Cell& cell : wanted_[kGridRows - 1]) cell = Cell{' ', cell.fg, bg};
}

void Renderer::setCaret(bool visible, int column, int row) {
  caretVisible_ = visible;
  caretColumn_ = column;
  caretRow_ = row;
}

void Renderer::setTitle(std::string_view title) {
  title_.clear();
  // Control characters would end the title sequence early.
  for (char c : cp1252ToUtf8(title)) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 32 && b != 127) title_.push_back(c);
  }
  titlePending_ = true;
}

bool Renderer::needsDrawing(int column, int row) const {
  return !looksSame(wanted_[row][column], shown_[row][column]);
}

void Renderer::clearTerminal(std::string* out) {
  *out += "\x1b[0m\x1b[48;2;0;0;0m\x1b[2J";
  fgKnown_ = false;
  bgKnown_ = true;
  bg_ = plat::Rgb{};
  cursorRow_ = cursorColumn_ = -1;
  for (auto& row : shown_) {
    for (Cell& cell : row) cell = Cell{' ', cell.fg, plat::Rgb{}};
  }
}

void Renderer::moveTo(int column, int row, std::string* out) {
  if (row == cursorRow_ && column == cursorColumn_) return;
  std::string best = "\x1b[";
  if (row != 0 || column != 0) appendNumber(&best, row + 1);
  if (column != 0) {
    best.push_back(';');
    appendNumber(&best, column + 1);
  }
  best.push_back('H');
  if (cursorRow_ >= 0) {
    std::string rel;
    if (row > cursorRow_) rel = csi(row - cursorRow_, 'B');
    if (row < cursorRow_) rel = csi(cursorRow_ - row, 'A');
    rel += horizontal(cursorColumn_, column);
    if (rel.size() < best.size()) best = rel;
  }
  *out += best;
  cursorColumn_ = column;
  cursorRow_ = row;
}

void Renderer::setColors(const Cell& cell, std::string* out) {
  const bool needFg =
      !isBlank(cell.ch) && (!fgKnown_ || !sameRgb(fg_, cell.fg));
  const bool needBg = !bgKnown_ || !sameRgb(bg_, cell.bg);
  if (!needFg && !needBg) return;
  *out += "\x1b[";
  if (needFg) appendColor(out, 38, cell.fg);
  if (needFg && needBg) out->push_back(';');
  if (needBg) appendColor(out, 48, cell.bg);
  out->push_back('m');
  if (needFg) {
    fg_ = cell.fg;
    fgKnown_ = true;
  }
  bg_ = cell.bg;
  bgKnown_ = true;
}

std::string Renderer::rewriteGap(int column, int row) const {
  if (row != cursorRow_ || column <= cursorColumn_ || cursorColumn_ < 0 ||
      static_cast<size_t>(column - cursorColumn_) > kMaxGapRewrite) {
    return "";
  }
  std::string bytes;
  for (int c = cursorColumn_; c < column; ++c) {
    const Cell& cell = wanted_[row][c];
    const bool colorsMatch =
        bgKnown_ && sameRgb(bg_, cell.bg) &&
        (isBlank(cell.ch) || (fgKnown_ && sameRgb(fg_, cell.fg)));
    if (!colorsMatch) return "";
    bytes += cellGlyph(cell.ch);
  }
  return bytes;
}

void Renderer::drawCell(int column, int row, std::string* out) {
  const int fromColumn = cursorColumn_;
  const std::string gap = rewriteGap(column, row);
  std::string move;
  moveTo(column, row, &move);
  if (!gap.empty() && gap.size() < move.size()) {
    // The gap's cells look as wanted already: writing them again is
    // shorter than moving over them.
    move = gap;
    for (int c = fromColumn; c < column; ++c) shown_[row][c] = wanted_[row][c];
  }
  *out += move;
  const Cell& cell = wanted_[row][column];
  setColors(cell, out);
  *out += cellGlyph(cell.ch);
  shown_[row][column] = cell;
  ++cursorColumn_;
  // At the terminal's last column the cursor waits to wrap; where it then
  // stands differs between terminals.
  if (cursorColumn_ >= termColumns_) cursorRow_ = cursorColumn_ = -1;
}

std::string Renderer::flush() {
  std::string out;
  if (titlePending_) {
    out += "\x1b]0;" + title_ + "\x07";
    titlePending_ = false;
  }
  if (fullRedraw_) {
    clearTerminal(&out);
    fullRedraw_ = false;
  }
  const int rows = std::min(kGridRows, termRows_);
  const int columns = std::min(kGridColumns, termColumns_);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      if (needsDrawing(c, r)) drawCell(c, r, &out);
    }
  }
  const bool caretFits = caretVisible_ && caretRow_ >= 0 &&
                         caretRow_ < rows && caretColumn_ >= 0 &&
                         caretColumn_ <= kGridColumns &&
                         caretColumn_ < termColumns_;
  if (caretFits) {
    moveTo(caretColumn_, caretRow_, &out);
    if (!cursorShown_) out += "\x1b[?25h";
    cursorShown_ = true;
  } else if (cursorShown_) {
    out += "\x1b[?25l";
    cursorShown_ = false;
  }
  bytesWritten_ += out.size();
  return out;
}

}  // namespace plat::posix
