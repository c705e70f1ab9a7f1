// The console font of the SDL window: which font file serves a face name,
// and the 256 Windows-1252 characters drawn once into coverage masks of
// exactly one cell each, so painting a cell is a table lookup and a blend.
#ifndef TALONIX_PLATFORM_SDL_SDL_FONT_H_
#define TALONIX_PLATFORM_SDL_SDL_FONT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat::sdl {

// Cell sizes the window accepts, in pixels; settings outside are clamped,
// so no setting can ask for a window larger than any screen.
constexpr int kMinCellWidth = 4, kMaxCellWidth = 128;
constexpr int kMinLineHeight = 8, kMaxLineHeight = 256;

// The file of the installed font whose family is `face` (Windows-1252,
// compared without regard to case), found through fontconfig; else the
// file of DejaVu Sans Mono, which has every Latin-1 accent; else of any
// monospace font fontconfig offers. Empty when there is none at all.
std::string findFontFile(std::string_view face);

// Coverage masks of the 256 Windows-1252 characters, one cell each.
class GlyphAtlas {
 public:
  // Opens `fontFile` with SDL_ttf and draws every character into a cell of
  // `width` x `height` pixels, each clamped into the limits above: the
  // font is scaled so that its line height fills the cell's height and its
  // advance the cell's width (as a Windows font created with that height
  // and average width). Weight 600 and above draws bold; 0 is the normal
  // weight. A width of 0 or less takes the font's own width at that
  // height. False when the font cannot be opened or drawn; the atlas is
  // then empty.
  bool load(const std::string& fontFile, int width, int height, int weight);

  bool loaded() const { return !masks_.empty(); }
  int cellWidth() const { return cellWidth_; }
  int lineHeight() const { return lineHeight_; }
  // Pixels from the cell's top to the baseline.
  int ascent() const { return ascent_; }
  // Coverage 0..255 of the cell of `ch`, row-major, cellWidth() x
  // lineHeight() bytes. Control bytes and bytes with no glyph in the font
  // are blank. Only valid while loaded().
  const uint8_t* mask(uint8_t ch) const {
    return masks_.data() + static_cast<size_t>(ch) * cellWidth_ * lineHeight_;
  }

 private:
  int cellWidth_ = 0, lineHeight_ = 0, ascent_ = 0;
  std::vector<uint8_t> masks_;
};

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_FONT_H_
