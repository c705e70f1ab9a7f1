#include "platform/sdl/sdl_canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace plat::sdl {
namespace {

uint32_t pixelOf(Rgb c) {
  return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// Every coverage level's colour between the two, so a cell's pixels are
// table lookups.
void blendTable(Rgb fg, Rgb bg, uint32_t table[256]) {
  for (int a = 0; a < 256; ++a) {
    auto mix = [a](uint8_t f, uint8_t b) {
      return static_cast<uint32_t>((f * a + b * (255 - a) + 127) / 255);
    };
    table[a] = (mix(fg.r, bg.r) << 16) | (mix(fg.g, bg.g) << 8) | mix(fg.b, bg.b);
  }
}

}  // namespace

void Canvas::reset(const GlyphAtlas& atlas) {
  cellWidth_ = atlas.cellWidth();
  lineHeight_ = atlas.lineHeight();
  width_ = cellWidth_ * kCanvasColumns;
  height_ = lineHeight_ * kCanvasRows;
  pixels_.assign(static_cast<size_t>(width_) * height_, 0);
  dirty_.assign(1, PixelRect{0, 0, width_, height_});
}

void Canvas::drawCells(const GlyphAtlas& atlas, int column, int row,
                       const uint8_t* chars, int count, Rgb foreground,
                       Rgb background) {
  if (row < 0 || row >= kCanvasRows || count <= 0 || !atlas.loaded() ||
      atlas.cellWidth() != cellWidth_ || atlas.lineHeight() != lineHeight_) {
    return;
  }
  int first = std::max(column, 0);
  const int last = std::min(column + count, kCanvasColumns);
  if (first >= last) return;
  uint32_t table[256];
  blendTable(foreground, background, table);
  for (int c = first; c < last; ++c) {
    const uint8_t* mask = atlas.mask(chars[c - column]);
    uint32_t* out = pixels_.data() + static_cast<size_t>(row) * lineHeight_ * width_ +
                    static_cast<size_t>(c) * cellWidth_;
    for (int y = 0; y < lineHeight_; ++y, out += width_, mask += cellWidth_) {
      for (int x = 0; x < cellWidth_; ++x) out[x] = table[mask[x]];
    }
  }
  markDirty(PixelRect{first * cellWidth_, row * lineHeight_,
                      (last - first) * cellWidth_, lineHeight_});
}

void Canvas::scrollUp(Rgb background) {
  if (pixels_.empty()) return;
  const size_t line = static_cast<size_t>(lineHeight_) * width_;
  std::memmove(pixels_.data(), pixels_.data() + line,
               (pixels_.size() - line) * sizeof(uint32_t));
  std::fill(pixels_.end() - static_cast<std::ptrdiff_t>(line), pixels_.end(),
            pixelOf(background));
  dirty_.assign(1, PixelRect{0, 0, width_, height_});
}

void Canvas::fill(Rgb colour) {
  std::fill(pixels_.begin(), pixels_.end(), pixelOf(colour));
  dirty_.assign(1, PixelRect{0, 0, width_, height_});
}

std::vector<PixelRect> Canvas::takeDirty() {
  std::vector<PixelRect> taken;
  taken.swap(dirty_);
  return taken;
}

void Canvas::markDirty(PixelRect r) {
  if (!dirty_.empty()) {
    const PixelRect& whole = dirty_.front();
    if (whole.w == width_ && whole.h == height_) return;  // all of it already
    // A run written next to the last one on its row joins it.
    PixelRect& lastRect = dirty_.back();
    if (lastRect.y == r.y && lastRect.h == r.h &&
        r.x <= lastRect.x + lastRect.w && r.x + r.w >= lastRect.x) {
      const int left = std::min(lastRect.x, r.x);
      const int right = std::max(lastRect.x + lastRect.w, r.x + r.w);
      lastRect.x = left;
      lastRect.w = right - left;
      return;
    }
  }
  // So many pieces cost more to send than the whole picture.
  if (dirty_.size() >= 64) {
    dirty_.assign(1, PixelRect{0, 0, width_, height_});
    return;
  }
  dirty_.push_back(r);
}

}  // namespace plat::sdl
