// The window's font: which file serves a face name, and the one-cell masks
// of the Windows-1252 characters at the sizes the settings can give.
#include "platform/sdl/sdl_font.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace {

using plat::sdl::findFontFile;
using plat::sdl::GlyphAtlas;

TEST(SdlFont, FaceNamesResolveToInstalledFilesOrDejaVuSansMono) {
  const std::string mono = findFontFile("DejaVu Sans Mono");
  ASSERT_FALSE(mono.empty());
  EXPECT_EQ(access(mono.c_str(), R_OK), 0);
  // The default face is not installed on Linux: the fallback serves it.
  EXPECT_EQ(findFontFile("Lucida Console"), mono);
  EXPECT_EQ(findFontFile("dejavu sans mono"), mono);
  EXPECT_EQ(findFontFile("Fonte Inexistente \xC9"), mono);
  EXPECT_EQ(findFontFile(""), mono);
  // Another installed family is served itself, not its substitute.
  const std::string sans = findFontFile("dejavu sans");
  EXPECT_NE(sans, mono);
  EXPECT_EQ(access(sans.c_str(), R_OK), 0);
}

struct Ink {
  int total = 0, left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
};

Ink inkOf(const GlyphAtlas& atlas, uint8_t ch) {
  Ink ink;
  const uint8_t* m = atlas.mask(ch);
  for (int y = 0; y < atlas.lineHeight(); ++y) {
    for (int x = 0; x < atlas.cellWidth(); ++x) {
      if (m[y * atlas.cellWidth() + x] == 0) continue;
      ink.total += m[y * atlas.cellWidth() + x];
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

bool sameMask(const GlyphAtlas& atlas, uint8_t a, uint8_t b) {
  const size_t n = static_cast<size_t>(atlas.cellWidth()) * atlas.lineHeight();
  return std::equal(atlas.mask(a), atlas.mask(a) + n, atlas.mask(b));
}

TEST(SdlFont, AtlasDrawsEveryCharacterIntoItsCellAtEverySize) {
  const std::string file = findFontFile("Lucida Console");
  struct Size {
    int width, height, cellWidth, lineHeight;
  };
  // 0 asks for the font's own width at the height (DejaVu Sans Mono is
  // about 0.52 of its line height wide).
  const Size sizes[] = {{13, 28, 13, 28},      {10, 20, 10, 20},
                        {1000000, 0, 128, 8},  {0, 28, 0, 28},
                        {-5, 3, 0, 8}};
  const std::string portuguese =
      "\xE1\xE9\xED\xF3\xFA\xE2\xEA\xF4\xE3\xF5\xE7\xE0\xFC"
      "\xC1\xC9\xCD\xD3\xDA\xC2\xCA\xD4\xC3\xD5\xC7\xC0\xDC";
  GlyphAtlas atlas;  // loaded again at each size
  for (const Size& s : sizes) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    ASSERT_TRUE(atlas.load(file, s.width, s.height, 0));
    const int w = atlas.cellWidth(), h = atlas.lineHeight();
    EXPECT_NEAR(w, s.cellWidth > 0 ? s.cellWidth : h * 0.52, 1.5);
    if (s.cellWidth > 0) {
      EXPECT_EQ(w, s.cellWidth);
    }
    EXPECT_EQ(h, s.lineHeight);
    EXPECT_GT(atlas.ascent(), h / 2);
    EXPECT_LT(atlas.ascent(), h);
    std::string shown = portuguese;
    for (char c = '0'; c <= '9'; ++c) shown += c;
    for (char c = 'A'; c <= 'Z'; ++c) shown += {c, static_cast<char>(c + 32)};
    for (char c : shown) EXPECT_GT(inkOf(atlas, c).total, 0) << c;
    for (int c : {0, 7, 9, 13, 27, 31, 32, 127, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
      EXPECT_EQ(inkOf(atlas, c).total, 0) << c;
    }
    const Ink m = inkOf(atlas, 'M'), x = inkOf(atlas, 'x');
    EXPECT_LE(m.left, 1 + w / 8);
    EXPECT_GE(m.right, w - 2 - w / 8);
    EXPECT_GE(inkOf(atlas, '_').bottom, h - 3);
    EXPECT_GE(inkOf(atlas, 'g').bottom, atlas.ascent());  // below the baseline
    EXPECT_LT(inkOf(atlas, '\xC9').top, inkOf(atlas, 'E').top);
    EXPECT_LT(inkOf(atlas, '\xC9').top, x.top);
    EXPECT_FALSE(sameMask(atlas, 'l', 'I'));
    EXPECT_FALSE(sameMask(atlas, 'l', '1'));
    EXPECT_FALSE(sameMask(atlas, 'I', '1'));
  }

  ASSERT_TRUE(atlas.load(file, 13, 28, 0));
  GlyphAtlas bold;
  ASSERT_TRUE(bold.load(file, 13, 28, 700));
  EXPECT_EQ(bold.cellWidth(), 13);
  int normalInk = 0, boldInk = 0;
  for (int c = 0; c < 256; ++c) {
    normalInk += inkOf(atlas, c).total, boldInk += inkOf(bold, c).total;
  }
  EXPECT_GT(boldInk, normalInk * 11 / 10);

  // A file that is no font leaves the atlas empty, not half replaced.
  EXPECT_FALSE(atlas.load("/dev/null", 13, 28, 0));
  EXPECT_FALSE(atlas.loaded());
  EXPECT_FALSE(GlyphAtlas().load("/nonexistent/font.ttf", 13, 28, 0));
}

}  // namespace
