// Text runs drawn in the built-in font and read back, and text widths.
#include "gfx2d/text_drawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "frame/default_font.h"
#include "frame/screen_orientation.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

using gltest::ReadBackPixel;
using gltest::Rgba;

constexpr Rgba kBackground{0, 0, 0, 255};

class TextDrawing : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    ASSERT_TRUE(CreateDefaultFont(Context(), 0));
    BuildDefaultFontImage(font_.image);
    ClearScreenColour(Context(), 0x000000);
  }
  void TearDown() override { FreeSprite(Context(), kFirstFontSprite); }

  // The window pixels of one built-in cell drawn with its top-left at (x, y) equal the cell of
  // the font image: dots white, outline dark, clear pixels left as the background.
  int CellMismatches(int x, int y, unsigned char c) {
    const int cellX = c % 16 * 8, cellY = c / 16 * 8;
    int mismatches = 0;
    for (int py = 0; py < 8; ++py) {
      for (int px = 0; px < 8; ++px) {
        const uint8_t* texel = &font_.image.pixels[((cellY + py) * 128 + cellX + px) * 4];
        const Rgba expected = texel[3] ? Rgba{texel[0], texel[1], texel[2], 255} : kBackground;
        if (ReadBackPixel(Context(), x + px, y + py) != expected) ++mismatches;
      }
    }
    return mismatches;
  }
  int LitPixels(int x, int y, int w, int h) {
    int lit = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) lit += ReadBackPixel(Context(), i, j) != kBackground;
    return lit;
  }

  ScopedImage font_;
};

TEST_F(TextDrawing, ALetterShowsItsGlyphCellAtTheCeiledPen) {
  DrawTextRun(Context(), 0, "A", 10.2f, 20.0f, 0.0f, 0);
  EXPECT_EQ(CellMismatches(11, 20, 'A'), 0);
  EXPECT_EQ(LitPixels(0, 0, 11, 40), 0);
}

TEST_F(TextDrawing, FixedAndProportionalRunsAdvanceByCellOrByGlyph) {
  OpenGLRainbows& ctx = Context();
  DrawTextRun(ctx, 0, "AB", 0, 0, 0, 0);
  EXPECT_EQ(CellMismatches(0, 0, 'A'), 0);
  EXPECT_EQ(CellMismatches(8, 0, 'B'), 0);

  ctx.fontGlyphs[0]['A'].advance = 5;
  ctx.fontGlyphs[0]['A'].rightU = ctx.fontGlyphs[0]['A'].leftU + 5 / 128.0f;
  DrawTextRun(ctx, 0, "AB", 0, 20, 0, 1);
  EXPECT_EQ(CellMismatches(5, 20, 'B'), 0);
  EXPECT_EQ(TextWidth(ctx, 0, "AB", 1), 13u);
  EXPECT_EQ(TextWidth(ctx, 0, "AB", 0), 16u);
}

TEST_F(TextDrawing, GlyphIndexZeroEndsTheRunAndHighBytesRepeatTheLowGlyphs) {
  OpenGLRainbows& ctx = Context();
  DrawTextRun(ctx, 0,
              "A\x80"
              "B",
              0, 0, 0, 0);
  EXPECT_EQ(CellMismatches(0, 0, 'A'), 0);
  EXPECT_EQ(LitPixels(8, 0, 24, 8), 0);
  DrawTextRun(ctx, 0, "\xC1", 0, 20, 0, 0);
  EXPECT_EQ(CellMismatches(0, 20, 'A'), 0);
  const TextVertexArray before = ctx.textVertices;
  DrawTextRun(ctx, 0, "", 0, 40, 0, 0);
  EXPECT_EQ(ctx.textVertices.count, before.count);
  DrawTextRun(ctx, kFontCount, "A", 0, 40, 0, 0);
  EXPECT_EQ(LitPixels(0, 40, 8, 8), 0);
}

TEST_F(TextDrawing, ProportionalWidthReadsTheAdvanceOfTheByteItself) {
  OpenGLRainbows& ctx = Context();
  ctx.fontGlyphs[0][0xC1].advance = 3;
  EXPECT_EQ(TextWidth(ctx, 0, "\xC1\x41", 1), 3u + ctx.fontGlyphs[0][0x41].advance);
  EXPECT_EQ(TextWidth(ctx, 0, "\xC1\x41", 0), 16u) << "fixed widths ignore the glyph table";
  EXPECT_EQ(TextWidth(ctx, -1, "A", 0), 0u);
}

}  // namespace
