// The window's picture of the console grid: 80 x 25 cells of pixels kept
// in memory (XRGB8888), drawn from the glyph masks and shown on the screen
// by the window, which sends only the rectangles changed since it last
// showed them. Knows nothing of SDL's video.
#ifndef TALONIX_PLATFORM_SDL_SDL_CANVAS_H_
#define TALONIX_PLATFORM_SDL_SDL_CANVAS_H_

#include <cstdint>
#include <vector>

#include "platform/events.h"
#include "platform/sdl/sdl_font.h"

namespace plat::sdl {

constexpr int kCanvasColumns = 80, kCanvasRows = 25;

// A rectangle of pixels: [x, x + w) x [y, y + h).
struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

class Canvas {
 public:
  // The grid in cells of the atlas's size, all black and all dirty.
  void reset(const GlyphAtlas& atlas);

  int width() const { return width_; }
  int height() const { return height_; }
  int cellWidth() const { return cellWidth_; }
  int lineHeight() const { return lineHeight_; }
  // Row-major, width() pixels per row, 0x00RRGGBB.
  const uint32_t* pixels() const { return pixels_.data(); }

  // Draws `count` cells of `row` from `column`: each character's mask
  // blends `foreground` over `background`. Cells outside the grid are
  // skipped.
  void drawCells(const GlyphAtlas& atlas, int column, int row,
                 const uint8_t* chars, int count, Rgb foreground,
                 Rgb background);
  // Moves the picture up one line and fills the freed bottom line.
  void scrollUp(Rgb background);
  void fill(Rgb colour);

  // The rectangles changed since the last call, each a run of cells of one
  // row (or the whole grid after fill, scrollUp and reset); then none.
  std::vector<PixelRect> takeDirty();
  bool dirty() const { return !dirty_.empty(); }

 private:
  void markDirty(PixelRect r);

  int cellWidth_ = 0, lineHeight_ = 0, width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
  std::vector<PixelRect> dirty_;
};

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_CANVAS_H_
