// Looking at a real desktop window from outside, as a sighted user would:
// a private X server (Xvfb), screenshots of it, the console grid read back
// from a window's pixels, and real input through xdotool (XTEST events).
//
// The grid is read with the same glyph masks the window draws with: each
// cell's background is its most common colour, its character the mask
// nearest to the cell's coverage, its foreground the colour of the pixels
// that mask covers fully. The caret (two inverted lines on the baseline)
// is seen through. Colours are reported as indices of the console's
// 16-colour palette, which this file holds as the independent truth.
#ifndef TALONIX_TESTS_X11_SCREEN_H_
#define TALONIX_TESTS_X11_SCREEN_H_

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sdl/sdl_font.h"

namespace x11test {

constexpr int kColumns = 80, kRows = 25;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The console's colours by index: foreground in an attribute's low 4 bits,
// background in its high 4 bits.
extern const std::array<Rgb, 16> kPalette;
// The palette index of `c`, or -1 when it is none of them.
int paletteIndex(Rgb c);

// True when `tool` is an executable on PATH.
bool installed(const std::string& tool);

// A private X server on a display nobody else uses, stopped on destruction.
class Xvfb {
 public:
  ~Xvfb();
  // Starts it with one 1024 x 768 x 24 screen; false, with the reason in
  // *why, when it does not come up.
  bool start(std::string* why);
  void stop();
  // ":N", once started.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Pixels, RGB, row-major.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Image&) const = default;
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;  // client area, in root coordinates
};

// A client connection to the X server.
class Display {
 public:
  ~Display();
  bool open(const std::string& name);
  // Before the server stops: Xlib ends the process on a lost connection.
  void close();
  // The first viewable top-level window whose title begins with `prefix`;
  // 0 when there is none.
  unsigned long findWindow(const std::string& prefix);
  std::string title(unsigned long window);
  // False when the window is gone.
  bool geometry(unsigned long window, Geometry* g);
  // What the screen shows in `area` (root coordinates, inside the screen);
  // empty when it cannot be read.
  Image capture(const Geometry& area);

 private:
  void* display_ = nullptr;  // Display*, kept out of this header
};

// Colours of a cell that are no palette index.
constexpr int kUnseen = -1;      // a foreground with no fully inked pixel to show it
constexpr int kNotPalette = -2;  // a colour the palette does not have

// What one cell shows.
struct Cell {
  uint8_t ch = ' ';
  int foreground = kUnseen, background = kUnseen;
  bool caret = false;  // the caret is on it
};

// 25 rows of 80 cells.
struct Grid {
  std::array<std::array<Cell, kColumns>, kRows> cells{};
  // Where the caret is; false when it is nowhere.
  bool caret(int* column, int* row) const;
};

// The grid a run of talonix-run left: its --screen (UTF-8) and --attrs
// files. False when they cannot be read.
bool readRunnerGrid(const std::string& screenFile, const std::string& attrsFile, Grid* grid);

class CellReader {
 public:
  // Draws the reference masks, as the window does, from `face` with cells
  // of `width` x `height` pixels. False when the font cannot be loaded.
  bool load(const std::string& face, int width, int height);
  int cellWidth() const { return atlas_.cellWidth(); }
  int lineHeight() const { return atlas_.lineHeight(); }

  // Reads the grid from `client`, the window's client area (at least
  // 80 x 25 cells).
  Grid read(const Image& client);
  // The rows where `seen` differs from `expected` (characters compared
  // by their glyph; an unseen foreground matches any), at most `limit`
  // of them, each as its expected and seen text and attributes; empty
  // when the grids agree.
  std::string differences(const Grid& expected, const Grid& seen, int limit = 4) const;

 private:
  struct Reading {
    Cell cell;
    double residual = 0;  // how far the cell is from its glyph
  };
  Reading decode(const std::vector<Rgb>& px) const;
  Cell readCell(const Image& client, int x0, int y0);
  uint8_t canonical(uint8_t ch) const { return canonical_[ch]; }

  plat::sdl::GlyphAtlas atlas_;
  std::array<uint8_t, 256> canonical_{};  // lowest character with the same mask
  std::array<int, 256> peak_{};           // each mask's highest coverage
  std::map<std::vector<uint8_t>, Cell> known_;  // cell pixels already read
};

// Whether `after` is `before` magnified around the point (px, py) of it
// by `factor`: the rectangle at (max(0, px - px / factor), max(0, py -
// py / factor)) of size (width / factor, height / factor) stretched over
// the whole image, nearest neighbour. Where a pixel of `after` straddles
// two source pixels either may be shown (scalers round differently). The
// first wrong pixel goes to *why.
bool isMagnified(const Image& before, const Image& after, int px, int py, int factor,
                 std::string* why);

// Runs xdotool with `args` on `display`; true when it succeeds.
bool xdotool(const std::string& display, const std::vector<std::string>& args);

// Polls `probe` every 100 ms until it returns true or `seconds` pass; the
// last result.
bool waitFor(const std::function<bool()>& probe, double seconds = 20);

}  // namespace x11test

#endif  // TALONIX_TESTS_X11_SCREEN_H_
