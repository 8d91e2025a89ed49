// The built-in character set, glyph measurement, font files and the font queries.
#include "gfx2d/font_bitmaps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/graphics_context.h"
#include "gfx2d/bmp_file.h"
#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using Pixel = std::vector<uint8_t>;

Pixel At(const RgbaImage& image, int x, int y) {
  const uint8_t* p = &image.pixels[(size_t(y) * image.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

const Pixel kDot{255, 255, 255, 255};
const Pixel kOutline{8, 8, 8, 255};
const Pixel kClear{0, 0, 0, 0};

struct BuiltInImage : ScopedImage {
  BuiltInImage() { BuildDefaultFontImage(image); }
};

TEST(BuiltInFont, DotsOutlinesAndClearCellRowsAreWhereThePatternsPutThem) {
  BuiltInImage font;
  ASSERT_EQ(font.image.width, 128);
  ASSERT_EQ(font.image.height, 64);
  int dots = 0, outlines = 0;
  for (int y = 16; y < 24; ++y) {
    for (int x = 112; x < 120; ++x) {
      dots += At(font.image, x, y) == kDot;
      outlines += At(font.image, x, y) == kOutline;
    }
  }
  EXPECT_EQ(dots, 1);
  EXPECT_EQ(outlines, 4);
  EXPECT_EQ(At(font.image, 115, 22), kDot);
  for (auto [x, y] : {std::pair{114, 22}, {116, 22}, {115, 21}, {115, 23}})
    EXPECT_EQ(At(font.image, x, y), kOutline) << x << "," << y;
  // Rows of '0' (00E5294E), five columns each, from its cell at (0, 24) shifted by one pixel.
  const char* rows[6] = {".###.", ".#.#.", ".#.#.", ".#.#.", ".###.", "....."};
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 5; ++c)
      EXPECT_EQ(At(font.image, 1 + c, 25 + r) == kDot, rows[r][c] == '#') << c << "," << r;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 128; ++x) ASSERT_EQ(At(font.image, x, y), kClear);
  for (int y = 16; y < 64; ++y) {
    for (int x = 0; x < 128; ++x) {
      if (At(font.image, x, y) != kOutline) continue;
      const bool besideDot = At(font.image, x - 1, y) == kDot || At(font.image, x + 1, y) == kDot ||
                             At(font.image, x, y - 1) == kDot || At(font.image, x, y + 1) == kDot;
      ASSERT_TRUE(besideDot) << x << "," << y;
    }
  }
}

// A blank bitmap with cells inked as given: full cells, and single columns.
struct SyntheticFont : ScopedImage {
  SyntheticFont(int w, int h) { EXPECT_TRUE(ResizeImage(image, w, h)); }
  void Ink(int x, int y) { image.pixels[(size_t(y) * image.width + x) * 4 + 3] = 255; }
  void InkColumn(int g, int column) {
    const FontLayout layout = FontLayoutFor(image.width, image.height);
    for (int y = 0; y < layout.cellHeight; ++y)
      Ink(g % 16 * layout.cellWidth + column, g / 16 * layout.cellHeight + y);
  }
};

TEST(GlyphMeasure, WideBitmapHas128GlyphsWhoseCopiesFollowThem) {
  SyntheticFont font(256, 128);
  for (int column = 0; column < 16; ++column) font.InkColumn('A', column);
  font.InkColumn('B', 3);
  font.InkColumn('j', 2);
  font.InkColumn('j', 6);
  font.InkColumn(' ', 5);
  std::vector<FontGlyph> glyphs(256);
  ASSERT_TRUE(MeasureFontGlyphs(font.image, 256, glyphs.data()));
  EXPECT_EQ(glyphs['A'].left, 0);
  EXPECT_EQ(glyphs['A'].advance, 16) << "a full cell gets no spacing column";
  EXPECT_EQ(glyphs['B'].left, 3);
  EXPECT_EQ(glyphs['B'].advance, 2);
  EXPECT_FLOAT_EQ(glyphs['B'].leftU, (2 * 16 + 3) / 256.0f);
  EXPECT_FLOAT_EQ(glyphs['B'].rightU, (2 * 16 + 5) / 256.0f);
  EXPECT_EQ(glyphs['C'].left, 0);
  EXPECT_EQ(glyphs['C'].advance, 16) << "an empty cell takes the cell width";
  EXPECT_FLOAT_EQ(glyphs['C'].leftU, glyphs['C'].rightU);
  EXPECT_EQ(glyphs['j'].advance, 6);
  EXPECT_EQ(glyphs[' '].advance, 6) << "the space takes the advance of 'j'";
  EXPECT_FLOAT_EQ(glyphs[' '].leftU, 0.0f);
  EXPECT_FLOAT_EQ(glyphs[' '].rightU, 6 / 256.0f);
  EXPECT_EQ(glyphs[' ' + 128].advance, 2) << "the copy keeps the measured space cell";
  EXPECT_EQ(glyphs['B' + 128].left, 3);
  EXPECT_FLOAT_EQ(glyphs['B' + 128].rightU, glyphs['B'].rightU);
}

TEST(GlyphMeasure, TallBitmapHas256GlyphsAndTooWideCellsAreRefused) {
  SyntheticFont tall(128, 256);
  tall.InkColumn(200, 7);
  std::vector<FontGlyph> glyphs(256);
  ASSERT_TRUE(MeasureFontGlyphs(tall.image, 128, glyphs.data()));
  EXPECT_EQ(FontLayoutFor(128, 256).glyphs, 256);
  EXPECT_EQ(glyphs[200].left, 7);
  EXPECT_EQ(glyphs[200].advance, 1) << "no room for a spacing column";
  EXPECT_EQ(glyphs[200 - 128].advance, 8);

  SyntheticFont huge(4096, 16);
  glyphs[65].advance = 77;
  EXPECT_FALSE(MeasureFontGlyphs(huge.image, 4096, glyphs.data()));
  EXPECT_EQ(glyphs[65].advance, 77);
}

class FontFiles : public GlFixture {
 protected:
  void TearDown() override {
    for (int32_t font = 0; font < kFontCount; ++font)
      FreeSprite(Context(), kFirstFontSprite + font);
    Context().fontTransparentColour = 0;
  }
  TempDir folder_;
};

// The built-in set as a file would hold it: opaque everywhere, black where it is clear.
void FlattenOnBlack(RgbaImage& image) {
  for (int i = 0; i < image.width * image.height; ++i) image.pixels[i * 4 + 3] = 255;
}

TEST_F(FontFiles, BlackOfABmpFontIsKeyedAndItsGlyphsMeasuredAsTheShippedFontsAre) {
  OpenGLRainbows& ctx = Context();
  BuiltInImage font;
  std::vector<FontGlyph> expected(256);
  ASSERT_TRUE(MeasureFontGlyphs(font.image, 128, expected.data()));
  FlattenOnBlack(font.image);
  const std::string bmp = folder_.Child("font.bmp");
  ASSERT_TRUE(SaveBmpImage(bmp.c_str(), font.image));
  const std::string shipped = QRN_SOURCE_DIR "/assets/sysfont.png";

  for (const std::string& name : {bmp, shipped}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(LoadFontFile(ctx, 5, name.c_str()));
    const SpriteRecord& record = ctx.sprites[kFirstFontSprite + 5];
    EXPECT_EQ(record.width, 128);
    EXPECT_EQ(record.height, 64);
    for (int g = 0; g < 256; ++g) {
      ASSERT_EQ(ctx.fontGlyphs[5][g].left, expected[g].left) << g;
      ASSERT_EQ(ctx.fontGlyphs[5][g].advance, expected[g].advance) << g;
      ASSERT_FLOAT_EQ(ctx.fontGlyphs[5][g].leftU, expected[g].leftU) << g;
      ASSERT_FLOAT_EQ(ctx.fontGlyphs[5][g].rightU, expected[g].rightU) << g;
    }
    // '0': outline columns 1 to 5, and one spacing column.
    EXPECT_EQ(ctx.fontGlyphs[5]['0'].left, 1);
    EXPECT_EQ(ctx.fontGlyphs[5]['0'].advance, 6);
    EXPECT_EQ(ctx.fontGlyphs[5]['0' + 128].advance, 6);
    int32_t w = 0, h = 0;
    GetFontCellSize(ctx, 5, &w, &h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
  }
}

TEST_F(FontFiles, AFontThatCannotBeReadLeavesItsSpriteFree) {
  OpenGLRainbows& ctx = Context();
  BuiltInImage font;
  const std::string bmp = folder_.Child("font.bmp");
  ASSERT_TRUE(SaveBmpImage(bmp.c_str(), font.image));
  ASSERT_TRUE(LoadFontFile(ctx, 3, bmp.c_str()));
  EXPECT_FALSE(LoadFontFile(ctx, 3, ""));
  EXPECT_EQ(ctx.sprites[kFirstFontSprite + 3].width, 0);
  EXPECT_EQ(ctx.sprites[kFirstFontSprite + 3].texture, 0u);
  EXPECT_FALSE(LoadFontFile(ctx, 3, folder_.Child("missing.png").c_str()));
  EXPECT_FALSE(LoadFontFile(ctx, 32, bmp.c_str()));
  EXPECT_FALSE(LoadFontFile(ctx, -1, bmp.c_str()));
}

TEST_F(FontFiles, FreeFontsAreSearchedFromTheTopAndNarrowBitmapsCountAsFree) {
  OpenGLRainbows& ctx = Context();
  EXPECT_EQ(FindFreeFont(ctx), 31);
  BuiltInImage font;
  ASSERT_TRUE(CreateSpriteFromImage(ctx, kFirstFontSprite + 31, font.image, -1, false));
  EXPECT_EQ(FindFreeFont(ctx), 30);
  ScopedImage narrow(15, 4, std::string(15 * 4 * 4, '\xFF'));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, kFirstFontSprite + 30, narrow.image, -1, false));
  EXPECT_EQ(FindFreeFont(ctx), 30);
  int32_t w = 9, h = 9;
  GetFontCellSize(ctx, 32, &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

}  // namespace
