// The terminal cell renderer. Its output is played on a small terminal model
// (cursor moves, colours, clearing, deferred wrap at the right edge), so the
// tests check what the user would see, not the exact bytes, except where
// the byte count is the point.
#include "platform/posix/term_renderer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using plat::Rgb;

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kBlue{0, 0, 255},
    kYellow{255, 255, 0};

bool same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// A terminal as far as the renderer uses one.
class TerminalModel {
 public:
  struct Cell {
    std::string glyph = "#";  // never drawn
    Rgb fg, bg{1, 2, 3};
  };

  TerminalModel(int columns, int rows)
      : columns_(columns), rows_(rows), cells_(columns * rows) {}

  void play(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
      const char c = bytes[i];
      if (c == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
        i = csi(bytes, i + 2);
      } else if (c == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == ']') {
        const size_t end = bytes.find('\x07', i);
        ASSERT_NE(end, std::string::npos);
        title = bytes.substr(i + 2, end - i - 2);
        i = end + 1;
      } else if (c == '\r') {
        x_ = 0;
        wrapPending_ = false;
        ++i;
      } else {
        ASSERT_GE(static_cast<uint8_t>(c), 0x20) << "control byte in text";
        size_t len = 1;
        while (i + len < bytes.size() &&
               (static_cast<uint8_t>(bytes[i + len]) & 0xC0) == 0x80) {
          ++len;
        }
        put(bytes.substr(i, len));
        i += len;
      }
    }
  }

  const Cell& at(int column, int row) const {
    return cells_[row * columns_ + column];
  }
  int cursorX() const { return x_; }
  int cursorY() const { return y_; }

  bool cursorVisible = true;
  bool wrapped = false;  // text went past the right edge
  std::string title;

 private:
  size_t csi(const std::string& b, size_t i) {
    std::string params;
    while (i < b.size() && ((b[i] >= '0' && b[i] <= '9') || b[i] == ';' ||
                            b[i] == '?' || b[i] == '>')) {
      params += b[i++];
    }
    const char final = b[i];
    std::vector<int> p;
    size_t start = params.find_first_of("0123456789") == 0 ? 0 : 1;
    if (params.empty()) start = 0;
    std::string digits = params.substr(start);
    size_t pos = 0;
    while (pos <= digits.size() && !digits.empty()) {
      const size_t semi = digits.find(';', pos);
      const std::string field = digits.substr(pos, semi - pos);
      p.push_back(field.empty() ? 0 : std::stoi(field));
      if (semi == std::string::npos) break;
      pos = semi + 1;
    }
    auto arg = [&](size_t k, int def) {
      return k < p.size() && p[k] > 0 ? p[k] : def;
    };
    wrapPending_ = wrapPending_ && (final == 'm' || final == 'J' ||
                                    final == 'h' || final == 'l');
    switch (final) {
      case 'H': y_ = arg(0, 1) - 1; x_ = arg(1, 1) - 1; break;
      case 'A': y_ -= arg(0, 1); break;
      case 'B': y_ += arg(0, 1); break;
      case 'C': x_ += arg(0, 1); break;
      case 'D': x_ -= arg(0, 1); break;
      case 'J':
        for (Cell& cell : cells_) cell = Cell{" ", fg_, bg_};
        break;
      case 'm': sgr(p); break;
      case 'h': if (params == "?25") cursorVisible = true; break;
      case 'l': if (params == "?25") cursorVisible = false; break;
      case 't': break;
      default: ADD_FAILURE() << "unexpected CSI " << params << final;
    }
    x_ = std::clamp(x_, 0, columns_ - 1);
    y_ = std::clamp(y_, 0, rows_ - 1);
    return i + 1;
  }

  void sgr(const std::vector<int>& p) {
    for (size_t k = 0; k < p.size(); ++k) {
      if (p[k] == 0) {
        fg_ = Rgb{7, 7, 7};
        bg_ = Rgb{9, 9, 9};
      } else if ((p[k] == 38 || p[k] == 48) && k + 4 < p.size()) {
        const Rgb c{static_cast<uint8_t>(p[k + 2]),
                    static_cast<uint8_t>(p[k + 3]),
                    static_cast<uint8_t>(p[k + 4])};
        (p[k] == 38 ? fg_ : bg_) = c;
        k += 4;
      }
    }
  }

  void put(const std::string& glyph) {
    if (wrapPending_) wrapped = true;
    cells_[y_ * columns_ + x_] = Cell{glyph, fg_, bg_};
    if (x_ == columns_ - 1) {
      wrapPending_ = true;
    } else {
      ++x_;
    }
  }

  int columns_, rows_;
  std::vector<Cell> cells_;
  int x_ = 0, y_ = 0;
  bool wrapPending_ = false;
  Rgb fg_, bg_;
};

class RendererTest : public ::testing::Test {
 protected:
  void put(int column, int row, std::string_view text, Rgb fg = kWhite,
           Rgb bg = kBlack) {
    renderer_.put(column, row, reinterpret_cast<const uint8_t*>(text.data()),
                  static_cast<int>(text.size()), fg, bg);
  }

  // Flushes into the model; returns the bytes sent.
  std::string show() {
    const std::string bytes = renderer_.flush();
    model_.play(bytes);
    return bytes;
  }

  // Whether the model shows what the renderer wants (the visible part).
  void expectScreenMatches(int columns = 80, int rows = 25) {
    for (int r = 0; r < std::min(rows, plat::posix::kGridRows); ++r) {
      for (int c = 0; c < std::min(columns, plat::posix::kGridColumns); ++c) {
        const plat::posix::Cell& want = renderer_.wanted(c, r);
        const TerminalModel::Cell& got = model_.at(c, r);
        ASSERT_EQ(got.glyph, plat::posix::cellGlyph(want.ch)) << c << "," << r;
        ASSERT_TRUE(same(got.bg, want.bg)) << c << "," << r;
        if (got.glyph != " ") {
          ASSERT_TRUE(same(got.fg, want.fg)) << c << "," << r;
        }
      }
    }
    EXPECT_FALSE(model_.wrapped);
  }

  plat::posix::Renderer renderer_;
  TerminalModel model_{80, 25};
};

TEST_F(RendererTest, FirstDrawClearsAndShowsEverything) {
  put(0, 0, "Talonix");
  put(70, 24, "fim", kYellow, kBlue);
  const std::string bytes = show();
  EXPECT_NE(bytes.find("\x1b[2J"), std::string::npos);
  expectScreenMatches();
  EXPECT_FALSE(model_.cursorVisible);
  EXPECT_EQ(show(), "");  // nothing changed, nothing sent
}

TEST_F(RendererTest, OnlyChangedCellsAreSent) {
  put(0, 0, std::string(80, '.'));
  show();
  put(40, 10, "X");
  put(0, 0, "..");  // the same as shown
  const std::string bytes = show();
  EXPECT_EQ(bytes.find('.'), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 1), "X");
  EXPECT_LE(bytes.size(), 10u);
  expectScreenMatches();
}

TEST_F(RendererTest, ColoursAreSentOnlyWhenTheyChange) {
  show();
  put(0, 3, "abc", kYellow, kBlue);
  put(10, 3, "def", kYellow, kBlue);
  std::string bytes = show();
  EXPECT_EQ(bytes.find("38;2;"), bytes.rfind("38;2;"));  // once
  EXPECT_EQ(bytes.find("48;2;0;0;255"), bytes.rfind("48;2;0;0;255"));
  put(20, 3, "g", kWhite, kBlue);  // foreground only
  bytes = show();
  EXPECT_NE(bytes.find("38;2;255;255;255"), std::string::npos);
  EXPECT_EQ(bytes.find("48;2;"), std::string::npos);
  put(30, 3, "  ", kYellow, kBlack);  // blanks: their foreground never shows
  bytes = show();
  EXPECT_EQ(bytes.find("38;2;"), std::string::npos);
  expectScreenMatches();
}

TEST_F(RendererTest, TypingAtTheCaretSendsJustTheCharacter) {
  put(0, 24, "Sua op\xE7\xE3o: ", kWhite, kBlue);
  renderer_.setCaret(true, 11, 24);
  show();
  EXPECT_TRUE(model_.cursorVisible);
  EXPECT_EQ(model_.cursorX(), 11);
  put(11, 24, "e", kWhite, kBlue);
  renderer_.setCaret(true, 12, 24);
  EXPECT_EQ(show(), "e");
  renderer_.setCaret(false, 0, 0);
  EXPECT_EQ(show(), "\x1b[?25l");
  expectScreenMatches();
}

TEST_F(RendererTest, TextGoesOutAsUtf8) {
  put(0, 0, "op\xE7\xE3o \x80 \x81 \x07|");
  show();
  EXPECT_EQ(model_.at(2, 0).glyph, "\xC3\xA7");
  EXPECT_EQ(model_.at(3, 0).glyph, "\xC3\xA3");
  EXPECT_EQ(model_.at(6, 0).glyph, "\xE2\x82\xAC");
  EXPECT_EQ(model_.at(8, 0).glyph, "?");  // unassigned in Windows-1252
  EXPECT_EQ(model_.at(10, 0).glyph, " ");  // control byte
  renderer_.setTitle("Talonix - Banco do Brasil \xE9\x1b]evil\x07");
  show();
  EXPECT_EQ(model_.title, "0;Talonix - Banco do Brasil \xC3\xA9]evil");
}

TEST_F(RendererTest, ASmallerTerminalShowsTheTopLeftWithoutWrapping) {
  model_ = TerminalModel(40, 10);
  renderer_.setTerminalSize(40, 10);
  put(30, 0, "0123456789ABCDEF");
  put(0, 9, std::string(80, 'z'));
  put(0, 20, "not shown");
  renderer_.setCaret(true, 5, 20);
  show();
  expectScreenMatches(40, 10);
  EXPECT_EQ(model_.at(39, 0).glyph, "9");
  EXPECT_FALSE(model_.cursorVisible);  // the caret's cell is off screen
  put(39, 9, "y");  // the bottom-right cell: no scrolling
  show();
  expectScreenMatches(40, 10);
}

TEST_F(RendererTest, ResizeRedrawsEverything) {
  put(0, 0, "hello");
  show();
  model_ = TerminalModel(100, 30);  // a new, unknown screen
  renderer_.setTerminalSize(100, 30);
  show();
  expectScreenMatches();
  EXPECT_EQ(model_.at(80, 0).glyph, " ");  // outside the grid: black
  EXPECT_TRUE(same(model_.at(80, 0).bg, kBlack));
}

TEST_F(RendererTest, ScrollingSendsOnlyTheCellsThatChanged) {
  for (int r = 0; r < 25; ++r) put(0, r, "line");
  show();
  renderer_.scrollUp(kBlue);
  const std::string bytes = show();
  EXPECT_EQ(bytes.find("line"), std::string::npos);  // rows 0..23 unchanged
  expectScreenMatches();
  EXPECT_TRUE(same(model_.at(0, 24).bg, kBlue));
}

TEST_F(RendererTest, CountsTheBytesItProduces) {
  put(0, 0, "abc");
  const size_t first = show().size();
  put(0, 1, "de");
  const size_t second = show().size();
  EXPECT_EQ(renderer_.bytesWritten(), first + second);
}

TEST_F(RendererTest, RandomEditsAlwaysLeaveTheScreenAsWanted) {
  std::mt19937 rng(7);
  const Rgb colours[] = {kBlack, kWhite, kBlue, kYellow};
  int columns = 80, rows = 25;
  for (int round = 0; round < 300; ++round) {
    const int ops = 1 + static_cast<int>(rng() % 6);
    for (int k = 0; k < ops; ++k) {
      std::string text(rng() % 12, ' ');
      for (char& c : text) c = static_cast<char>(rng() % 3 ? 'a' + rng() % 5 : ' ');
      if (rng() % 8 == 0) text += "\xE7\xE3";
      put(static_cast<int>(rng() % 90) - 5, static_cast<int>(rng() % 26), text,
          colours[rng() % 4], colours[rng() % 4]);
      if (rng() % 10 == 0) renderer_.scrollUp(colours[rng() % 4]);
    }
    renderer_.setCaret(rng() % 2, static_cast<int>(rng() % 81),
                       static_cast<int>(rng() % 25));
    if (round % 50 == 49) {
      columns = 60 + static_cast<int>(rng() % 40);
      rows = 15 + static_cast<int>(rng() % 15);
      model_ = TerminalModel(columns, rows);
      renderer_.setTerminalSize(columns, rows);
    }
    show();
    expectScreenMatches(columns, rows);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
