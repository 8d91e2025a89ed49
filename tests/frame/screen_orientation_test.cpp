// Orientation maps, viewport, clear colour and the built-in font.
#include "frame/screen_orientation.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "frame/default_font.h"
#include "frame/graphics_context.h"
#include "tests/support/gl_fixture.h"

namespace {

OpenGLRainbows& WindowOf640x480(int orientation) {
  static OpenGLRainbows* ctx = new OpenGLRainbows();
  ctx->windowWidth = 640;
  ctx->windowHeight = 480;
  ctx->orientation = orientation;
  return *ctx;
}

struct MapCase {
  int orientation;
  std::array<int, 2> logical;
  std::array<int, 2> window;
};

TEST(OrientationMaps, FollowTheQuarterTurns) {
  const MapCase cases[] = {
      {0, {12, 34}, {12, 34}},   {1, {0, 0}, {639, 0}},      {1, {12, 34}, {605, 12}},
      {2, {12, 34}, {627, 445}}, {3, {12, 34}, {34, 467}},   {7, {12, 34}, {12, 34}},
      {-1, {12, 34}, {12, 34}},
  };
  for (const MapCase& c : cases) {
    const OpenGLRainbows& ctx = WindowOf640x480(c.orientation);
    std::array<int, 2> window{}, logical{};
    LogicalToScreen(ctx, c.logical[0], c.logical[1], &window[0], &window[1]);
    ScreenToLogical(ctx, c.window[0], c.window[1], &logical[0], &logical[1]);
    EXPECT_EQ(window, c.window) << "orientation " << c.orientation;
    EXPECT_EQ(logical, c.logical) << "orientation " << c.orientation;
  }
}

TEST(OrientationMaps, RoundTripAndDeltasAgreeWithThePointMap) {
  for (int orientation = 0; orientation < 4; ++orientation) {
    const OpenGLRainbows& ctx = WindowOf640x480(orientation);
    for (int x = 0; x < 480; x += 37) {
      for (int y = 0; y < 480; y += 41) {
        int wx, wy, lx, ly, wx2, wy2, dx, dy;
        LogicalToScreen(ctx, x, y, &wx, &wy);
        ScreenToLogical(ctx, wx, wy, &lx, &ly);
        ASSERT_EQ(lx, x) << orientation;
        ASSERT_EQ(ly, y) << orientation;
        LogicalToScreen(ctx, x + 3, y - 5, &wx2, &wy2);
        RotateDelta(ctx, 3, -5, &dx, &dy);
        ASSERT_EQ(dx, wx2 - wx) << orientation;
        ASSERT_EQ(dy, wy2 - wy) << orientation;
      }
    }
  }
}

using Viewport = GlFixture;

std::array<int, 4> GlViewport() {
  std::array<GLint, 4> v{};
  glGetIntegerv(GL_VIEWPORT, v.data());
  return {v[0], v[1], v[2], v[3]};
}

TEST_F(Viewport, WholeWindowAndSubRectangleInEveryOrientation) {
  struct Case {
    int orientation;
    std::array<int, 4> request, stored, gl;
  };
  const Case cases[] = {
      {1, {0, 0, 0, 0}, {0, 0, 480, 640}, {0, 0, 640, 480}},
      {2, {5, 5, -1, 9}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {3, {0, 0, 10, 0}, {0, 0, 480, 640}, {0, 0, 640, 480}},
      {0, {10, 20, 100, 50}, {10, 20, 100, 50}, {10, 410, 100, 50}},
      {1, {10, 20, 100, 50}, {10, 20, 100, 50}, {570, 370, 50, 100}},
      {2, {10, 20, 100, 50}, {10, 20, 100, 50}, {530, 20, 100, 50}},
      {3, {10, 20, 100, 50}, {10, 20, 100, 50}, {20, 10, 50, 100}},
  };
  OpenGLRainbows& ctx = Context();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.orientation);
    ctx.orientation = c.orientation;
    SetViewport(ctx, c.request[0], c.request[1], c.request[2], c.request[3]);
    const std::array<int, 4> stored{ctx.viewportX, ctx.viewportY, ctx.viewportWidth,
                                    ctx.viewportHeight};
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(GlViewport(), c.gl);
  }
}

// Fills the logical pixel (x, y) and returns every window pixel that changed.
std::vector<std::array<int, 2>> DrawLogicalPixel(OpenGLRainbows& ctx, int x, int y) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 0, 0, 1);
  glBegin(GL_QUADS);
  glVertex2f(x, y);
  glVertex2f(x + 1, y);
  glVertex2f(x + 1, y + 1);
  glVertex2f(x, y + 1);
  glEnd();
  std::vector<uint8_t> pixels(640 * 480 * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  std::vector<std::array<int, 2>> lit;
  for (int row = 0; row < 480; ++row) {
    for (int column = 0; column < 640; ++column) {
      if (pixels[(row * 640 + column) * 4] != 0) lit.push_back({column, ctx.windowHeight - 1 - row});
    }
  }
  return lit;
}

TEST_F(Viewport, ProjectionDrawsALogicalPixelWhereTheMapPutsIt) {
  OpenGLRainbows& ctx = Context();
  for (int orientation = 0; orientation < 4; ++orientation) {
    ctx.orientation = orientation;
    SetViewport(ctx, 0, 0, 0, 0);
    for (std::array<int, 2> logical : {std::array<int, 2>{0, 0}, {7, 3}}) {
      std::vector<std::array<int, 2>> expected(1);
      LogicalToScreen(ctx, logical[0], logical[1], &expected[0][0], &expected[0][1]);
      EXPECT_EQ(DrawLogicalPixel(ctx, logical[0], logical[1]), expected)
          << "orientation " << orientation;
    }
  }
}

TEST_F(Viewport, ClearColourClearsAtOnceAndMinusOneOnlyStopsClearing) {
  OpenGLRainbows& ctx = Context();
  ClearScreenColour(ctx, 0x00FF8000);
  EXPECT_EQ(gltest::ReadBackPixel(ctx, 0, 0), (gltest::Rgba{0, 128, 255, 255}));
  EXPECT_EQ(ctx.clearEachFrame, 1);

  ClearScreenColour(ctx, -1);
  EXPECT_EQ(ctx.clearEachFrame, 0);
  std::array<GLfloat, 4> clear{};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
  EXPECT_FLOAT_EQ(clear[0], 0.0f) << "-1 is no colour";
  EXPECT_FLOAT_EQ(clear[2], 1.0f);
  EXPECT_EQ(gltest::ReadBackPixel(ctx, 0, 0), (gltest::Rgba{0, 128, 255, 255}));
}

using DefaultFont = GlFixture;

TEST_F(DefaultFont, LastSlotFillsTheLastSpriteAndAGlyphGrid) {
  OpenGLRainbows& ctx = Context();
  ASSERT_TRUE(CreateDefaultFont(ctx, 31));
  const SpriteRecord& sprite = ctx.sprites[65535];
  EXPECT_TRUE(glIsTexture(sprite.texture));
  EXPECT_EQ(sprite.width, 128);
  EXPECT_EQ(sprite.height, 64);
  const FontGlyph& glyph = ctx.fontGlyphs[31][17];
  EXPECT_EQ(glyph.advance, 8);
  EXPECT_FLOAT_EQ(glyph.leftU, 1.0f / 16);
  EXPECT_FLOAT_EQ(glyph.rightU, 2.0f / 16);
  EXPECT_FLOAT_EQ(ctx.fontGlyphs[31][255].rightU, 1.0f);
}

TEST_F(DefaultFont, SlotsOutsideTheTablesAreRefusedUntouched) {
  OpenGLRainbows& ctx = Context();
  const SpriteRecord spare = ctx.sprites[kSpriteCount - 1];
  EXPECT_FALSE(CreateDefaultFont(ctx, 32));
  EXPECT_FALSE(CreateDefaultFont(ctx, -1));
  EXPECT_EQ(ctx.sprites[kSpriteCount - 1].texture, spare.texture);
  EXPECT_EQ(ctx.sprites[kSpriteCount - 1].width, spare.width);
}

}  // namespace
