// Fonts are found by family name through fontconfig, as Windows finds a
// face by name, and drawn once into one-cell coverage masks, so painting
// never asks the font again.
#include "platform/sdl/sdl_font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/shared/codepage.h"

namespace plat::sdl {
namespace {

const FcChar8* fcText(const std::string& s) {
  return reinterpret_cast<const FcChar8*>(s.c_str());
}

bool fontconfigReady() {
  static const bool ready = FcInit() == FcTrue;
  return ready;
}

// SDL_ttf opens TrueType and OpenType outlines; bitmap and Type 1 files,
// and entries of a stale font cache, are passed over.
bool openable(FcPattern* font, const char* file) {
  FcBool scalable = FcFalse;
  FcChar8* format = nullptr;
  if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch ||
      !scalable ||
      FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch) {
    return false;
  }
  const char* f = reinterpret_cast<const char*>(format);
  return (std::strcmp(f, "TrueType") == 0 || std::strcmp(f, "CFF") == 0) &&
         access(file, R_OK) == 0;
}

// A font may carry several family names (localised ones, or "DejaVu Sans"
// and "DejaVu Sans Condensed"); any of them counts.
bool hasFamily(FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0;
       FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(name, fcText(family)) == 0) return true;
  }
  return false;
}

// The file of fontconfig's best candidate for `family` that SDL_ttf can
// open. With `exact`, only a font of that very family counts: fontconfig
// always offers some substitute, which is not the face that was asked for.
std::string bestFile(const std::string& family, bool exact) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return {};
  FcPatternAddString(pattern, FC_FAMILY, fcText(family));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  // The whole ranking rather than the one best match, which may be a file
  // of the right family that SDL_ttf cannot open.
  FcFontSet* fonts = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  std::string file;
  for (int i = 0; fonts != nullptr && i < fonts->nfont && file.empty(); ++i) {
    FcPattern* font = fonts->fonts[i];
    FcChar8* path = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch) continue;
    const char* p = reinterpret_cast<const char*>(path);
    if ((!exact || hasFamily(font, family)) && openable(font, p)) file = p;
  }
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcPatternDestroy(pattern);
  return file;
}

// Sizes are set as a small point size at a chosen resolution: one dot per
// inch is then a ninth of a pixel of em, fine enough to fit any cell.
constexpr int kPoints = 8;
// 80 pixels of em: metrics measured there are exact to about one percent.
constexpr unsigned kReferenceDpi = 720;
// Shrinking steps allowed when rounding leaves the font a pixel too big.
constexpr int kMaxShrinkSteps = 64;

struct FontCloser {
  void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
};
using Font = std::unique_ptr<TTF_Font, FontCloser>;

struct Metrics {
  int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
};

bool glyphMetrics(TTF_Font* font, uint32_t cp, Metrics& m) {
  return TTF_GlyphIsProvided32(font, cp) &&
         TTF_GlyphMetrics32(font, cp, &m.minX, &m.maxX, &m.minY, &m.maxY,
                            &m.advance) == 0;
}

// The average advance of the lower-case letters, Windows' average
// character width; a monospace face's one width.
double averageAdvance(TTF_Font* font) {
  int sum = 0, count = 0;
  Metrics m;
  for (uint32_t c = 'a'; c <= 'z'; ++c) {
    if (glyphMetrics(font, c, m)) sum += m.advance, ++count;
  }
  return count > 0 ? static_cast<double>(sum) / count : 0.0;
}

unsigned dpiFor(int target, double measured) {
  return static_cast<unsigned>(
      std::max(1L, std::lround(kReferenceDpi * target / measured)));
}

// Scales `font` so that its line height is `height` and its average
// advance `width` (its own at that height when width <= 0), never more, as
// a Windows font created with that height and width. Returns the advance.
int fitFont(TTF_Font* font, int width, int height) {
  if (TTF_SetFontSizeDPI(font, kPoints, kReferenceDpi, kReferenceDpi) != 0) {
    return 0;
  }
  const double refHeight = TTF_FontHeight(font);
  const double refAdvance = averageAdvance(font);
  if (refHeight <= 0 || refAdvance <= 0) return 0;
  unsigned vdpi = dpiFor(height, refHeight);
  unsigned hdpi = width > 0 ? dpiFor(width, refAdvance) : vdpi;
  for (int step = 0; step < kMaxShrinkSteps; ++step) {
    if (TTF_SetFontSizeDPI(font, kPoints, hdpi, vdpi) != 0) return 0;
    const bool tall = TTF_FontHeight(font) > height && vdpi > 1;
    const bool wide = width > 0 && hdpi > 1 &&
                      std::lround(averageAdvance(font)) > width;
    if (!tall && !wide) break;
    if (tall) --vdpi;
    if (wide) --hdpi;
  }
  return static_cast<int>(std::lround(averageAdvance(font)));
}

// The Unicode code point of a Windows-1252 byte; 0 for control bytes and
// the bytes the code page leaves undefined, which stay blank.
uint32_t codePoint(uint8_t ch) {
  if (ch < 0x20 || ch == 0x7F) return 0;
  const std::string u = cp1252ToUtf8(std::string(1, static_cast<char>(ch)));
  const auto b = [&](size_t i) { return static_cast<uint32_t>(u[i]) & 0xFF; };
  uint32_t cp = 0;
  if (u.size() == 1) cp = b(0);
  if (u.size() == 2) cp = (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
  if (u.size() == 3) {
    cp = (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  }
  return cp == 0xFFFD ? 0 : cp;
}

struct Cell {
  int width, height, ascent;
};

// How far to move ink spanning [lo, hi) so that it lies inside [0, size)
// when it fits: an underscore or descender below the font's descent, or an
// accent above its ascent, would otherwise be cut off, in small cells
// wholly.
int fitInto(int lo, int hi, int size) {
  if (hi > size) return -std::min(hi - size, std::max(0, lo));
  if (lo < 0) return std::min(-lo, std::max(0, size - hi));
  return 0;
}

// Copies the coverage of `cp` into `mask`, its pen centred in the cell by
// its advance and its baseline on the cell's. SDL_ttf widens the glyph's
// surface left of the pen for a glyph with a negative bearing, and above
// the font's ascent for one taller than the font, which the offsets undo.
// False when the font has no such glyph or it could not be drawn: the
// cell stays blank.
bool drawGlyph(TTF_Font* font, uint32_t cp, const Cell& cell, uint8_t* mask) {
  Metrics m;
  if (!glyphMetrics(font, cp, m)) return false;
  SDL_Surface* drawn =
      TTF_RenderGlyph32_Blended(font, cp, SDL_Color{255, 255, 255, 255});
  if (drawn == nullptr) return false;
  SDL_Surface* argb =
      SDL_ConvertSurfaceFormat(drawn, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(drawn);
  if (argb == nullptr || SDL_LockSurface(argb) != 0) {
    SDL_FreeSurface(argb);
    return false;
  }
  const int fontAscent = TTF_FontAscent(font);
  int penX = (cell.width - m.advance) / 2;
  penX += fitInto(penX + m.minX, penX + m.maxX, cell.width);
  int baseline = cell.ascent;
  baseline += fitInto(baseline - m.maxY, baseline - m.minY, cell.height);
  // Cell pixel (x, y) is surface pixel (x + dx, y + dy).
  const int dx = std::max(0, -m.minX) - penX;
  const int dy = std::max(0, m.maxY - fontAscent) + fontAscent - baseline;
  for (int y = std::max(0, -dy); y < cell.height && y + dy < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(
        static_cast<const uint8_t*>(argb->pixels) + (y + dy) * argb->pitch);
    for (int x = std::max(0, -dx); x < cell.width && x + dx < argb->w; ++x) {
      mask[y * cell.width + x] = static_cast<uint8_t>(row[x + dx] >> 24);
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return true;
}

}  // namespace

std::string findFontFile(std::string_view face) {
  if (!fontconfigReady()) return {};
  const std::string family = cp1252ToUtf8(face);
  std::string file = family.empty() ? std::string() : bestFile(family, true);
  if (file.empty()) file = bestFile("DejaVu Sans Mono", true);
  if (file.empty()) file = bestFile("monospace", false);
  return file;
}

bool GlyphAtlas::load(const std::string& fontFile, int width, int height,
                      int weight) {
  masks_.clear();
  cellWidth_ = lineHeight_ = ascent_ = 0;
  if (TTF_WasInit() == 0 && TTF_Init() != 0) return false;
  Font font(TTF_OpenFontDPI(fontFile.c_str(), kPoints, kReferenceDpi,
                            kReferenceDpi));
  if (!font) return false;
  // Bold first, as it widens the advance the width is fitted to.
  TTF_SetFontStyle(font.get(),
                   weight >= 600 ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
  height = std::clamp(height, kMinLineHeight, kMaxLineHeight);
  if (width > 0) width = std::clamp(width, kMinCellWidth, kMaxCellWidth);
  const int advance = fitFont(font.get(), width, height);
  if (advance <= 0) return false;
  if (width <= 0) width = std::clamp(advance, kMinCellWidth, kMaxCellWidth);
  const Cell cell{width, height,
                  std::clamp(TTF_FontAscent(font.get()), 0, height)};
  const size_t cellBytes = static_cast<size_t>(cell.width) * cell.height;
  std::vector<uint8_t> masks(256 * cellBytes, 0);
  int drawn = 0;
  for (int ch = 0; ch < 256; ++ch) {
    const uint32_t cp = codePoint(static_cast<uint8_t>(ch));
    if (cp != 0 &&
        drawGlyph(font.get(), cp, cell, &masks[ch * cellBytes])) {
      ++drawn;
    }
  }
  if (drawn == 0) return false;  // nothing of Windows-1252 in this font
  masks_ = std::move(masks);
  cellWidth_ = cell.width;
  lineHeight_ = cell.height;
  ascent_ = cell.ascent;
  return true;
}

}  // namespace plat::sdl
