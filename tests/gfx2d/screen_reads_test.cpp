// One-pixel reads through the block cache, the transparent-colour probe and screen grabs.
#include "gfx2d/screen_reads.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/default_font.h"
#include "frame/frame_cycle.h"
#include "frame/screen_orientation.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/primitives.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/text_drawing.h"
#include "gfx2d/texture_binding.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

uint32_t Packed(const gltest::Rgba& pixel) {
  return pixel[0] | pixel[1] << 8 | pixel[2] << 16;
}

// Window pixels read one by one, through the cache or straight from GL.
std::vector<uint32_t> Window(OpenGLRainbows& ctx, bool cached) {
  std::vector<uint32_t> colours;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      colours.push_back(cached ? ReadPixel(ctx, x, y) : Packed(gltest::ReadBackPixel(ctx, x, y)));
  return colours;
}

// The texels of level 0 in the lower-left w x h, bottom row first.
std::vector<uint8_t> TextureCorner(uint32_t texture, int w, int h) {
  int32_t size[2];
  const std::vector<uint8_t> all = gltest::TextureLevel(texture, 0, size);
  std::vector<uint8_t> corner;
  for (int row = 0; row < h; ++row)
    corner.insert(corner.end(), all.begin() + size_t(row) * size[0] * 4,
                  all.begin() + (size_t(row) * size[0] + w) * 4);
  return corner;
}

class ScreenReads : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    SetSpriteSmoothing(Context(), 0);
    ClearScreenColour(Context(), 0x000000);
  }
  void TearDown() override {
    OpenGLRainbows& ctx = Context();
    ctx.orientation = 0;
    SetViewport(ctx, 0, 0, 0, 0);
    SetSpriteSmoothing(ctx, 1);
    ctx.transparentColour = 0x008000FF;
    for (int32_t sprite : {0, 1, 2}) FreeSprite(ctx, sprite);
  }

  // Draws the image as sprite 0 with its top-left at logical (x, y), one texel per pixel.
  void DrawImage(const ScopedImage& image, float x, float y) {
    OpenGLRainbows& ctx = Context();
    ASSERT_TRUE(CreateSpriteFromImage(ctx, 0, image.image, -1, false));
    gltest::DrawTexelStrip(ctx, 0, x, y, float(image.image.width), float(image.image.height));
  }
};

TEST_F(ScreenReads, EveryPixelOfADrawnImageReadsBackInEachOrientation) {
  OpenGLRainbows& ctx = Context();
  constexpr int kW = 20, kH = 12;
  ScopedImage image(kW, kH, gltest::PatternPixels(kW, kH));
  for (int32_t orientation = 0; orientation < 4; ++orientation) {
    SCOPED_TRACE(orientation);
    ctx.orientation = orientation;
    SetViewport(ctx, 0, 0, 0, 0);
    ClearScreenColour(ctx, 0x000000);
    DrawImage(image, 30, 40);
    int mismatches = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &image.image.pixels[(y * kW + x) * 4];
        mismatches += ReadPixel(ctx, 30 + x, 40 + y) != Packed({p[0], p[1], p[2], 255});
      }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(ReadPixel(ctx, 29, 40), 0u);
  }
}

TEST_F(ScreenReads, LogicalOriginIsTheWindowCornerOfEachOrientation) {
  OpenGLRainbows& ctx = Context();
  DrawPoint(ctx, 0, 0, 0x000001);
  DrawPoint(ctx, 639, 0, 0x000002);
  DrawPoint(ctx, 639, 479, 0x000003);
  DrawPoint(ctx, 0, 479, 0x000004);
  const uint32_t expected[4] = {1, 2, 3, 4};
  for (int32_t orientation = 0; orientation < 4; ++orientation) {
    ctx.orientation = orientation;
    EXPECT_EQ(ReadPixel(ctx, 0, 0), expected[orientation]) << "orientation " << orientation;
  }
  ctx.orientation = 0;
  EXPECT_EQ(ReadPixel(ctx, -1, 0), 0u);
  EXPECT_EQ(ReadPixel(ctx, 640, 0), 0u);
  EXPECT_EQ(ReadPixel(ctx, 0, 480), 0u);
}

TEST_F(ScreenReads, EveryWriteBetweenReadsIsSeenAsAnUncachedReadSeesIt) {
  OpenGLRainbows& ctx = Context();
  ASSERT_TRUE(CreateDefaultFont(ctx, 0));
  ScopedImage image(8, 8, gltest::PatternPixels(8, 8));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 1, image.image, -1, false));
  const std::vector<std::pair<std::string, std::function<void()>>> writes = {
      {"point", [&] { DrawPoint(ctx, 3, 3, 0x112233); }},
      {"line", [&] { DrawLine(ctx, 0, 5, 15, 5, 0x445566); }},
      {"rectangle", [&] { FillRect(ctx, 2, 2, 6, 6, 0x778899); }},
      {"polygon", [&] { DrawImage(image, 4, 4); }},
      {"text", [&] { DrawTextRun(ctx, 0, "AB", 1, 1, 0, 0); }},
      {"clear colour", [&] { ClearScreenColour(ctx, 0x203040); }},
      {"frame clear",
       [&] {
         glClearColor(0.5f, 0.25f, 0.0f, 1.0f);
         ClearFrame(ctx);
       }},
      {"present", [&] { PresentFrame(ctx, nullptr); }},
  };
  for (const auto& [name, write] : writes) {
    SCOPED_TRACE(name);
    FillRect(ctx, 0, 0, 16, 16, 0x0A0B0C);
    ASSERT_EQ(Window(ctx, true), Window(ctx, false));
    write();
    EXPECT_EQ(Window(ctx, true), Window(ctx, false));
  }
}

TEST_F(ScreenReads, ProbeFindsTheStoredTransparentColourAndPutsThePixelBack) {
  OpenGLRainbows& ctx = Context();
  DrawPoint(ctx, 4, 4, 0x123456);
  ctx.transparentColour = 0x00FF00FF;
  EXPECT_EQ(ProbeColourPrecision(ctx), 0xFF00FF00u);
  EXPECT_EQ(ReadPixel(ctx, 4, 4), 0x123456u);
  EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_TRUE) << "the default state comes back";
  ctx.transparentColour = 0;
  EXPECT_EQ(ProbeColourPrecision(ctx), 0u);
}

TEST_F(ScreenReads, GrabsHoldTheLogicalRectangleUprightInEachOrientation) {
  OpenGLRainbows& ctx = Context();
  constexpr int kW = 10, kH = 6;
  ScopedImage image(kW, kH, gltest::PatternPixels(kW, kH));
  for (int32_t orientation = 0; orientation < 4; ++orientation) {
    SCOPED_TRACE(orientation);
    ctx.orientation = orientation;
    SetViewport(ctx, 0, 0, 0, 0);
    DrawImage(image, 5, 7);
    ASSERT_TRUE(GrabSprite(ctx, 2, 5, 7, kW, kH));
    EXPECT_EQ(ctx.sprites[2].height, kH);
    const std::vector<uint8_t> texels = TextureCorner(ctx.sprites[2].texture, kW, kH);
    int mismatches = 0;
    for (int row = 0; row < kH; ++row)
      for (int x = 0; x < kW; ++x)
        for (int c = 0; c < 4; ++c)
          if (texels[(row * kW + x) * 4 + c] !=
              image.image.pixels[((kH - 1 - row) * kW + x) * 4 + c])
            ++mismatches;
    EXPECT_EQ(mismatches, 0);
  }
}

// Rectangles reaching past the int limits, off the window or across its edges: a grab holds what
// single-pixel reads see (black outside the window), and sizes of 0 or less free the sprite.
TEST_F(ScreenReads, GrabsAtTheIntLimitsHoldWhatSinglePixelReadsSee) {
  OpenGLRainbows& ctx = Context();
  ScopedImage image(640, 640, gltest::PatternPixels(640, 640));
  const int32_t places[] = {INT32_MIN, -5, 0, 475, 635, INT32_MAX - 3, INT32_MAX};
  const std::pair<int32_t, int32_t> sizes[] = {{INT32_MIN, 5}, {-3, -3}, {0, 5},        {8, 5},
                                               {5, 40},        {INT32_MAX, 5}, {5, INT32_MAX}};
  for (int32_t orientation = 0; orientation < 4; ++orientation) {
    ctx.orientation = orientation;
    SetViewport(ctx, 0, 0, 0, 0);
    DrawImage(image, 0, 0);
    for (int32_t x : places)
      for (int32_t y : places)
        for (auto [w, h] : sizes) {
          SCOPED_TRACE(testing::Message() << orientation << ": " << x << ", " << y << ", " << w
                                          << " x " << h);
          const bool grabbed = GrabSprite(ctx, 2, x, y, w, h);
          EXPECT_EQ(grabbed, w <= 0 || h <= 0 || (w < INT32_MAX && h < INT32_MAX));
          if (!grabbed || ctx.sprites[2].width == 0) continue;
          const std::vector<uint8_t> texels = TextureCorner(ctx.sprites[2].texture, w, h);
          int mismatches = 0;
          for (int32_t row = 0; row < h; ++row)
            for (int32_t column = 0; column < w; ++column) {
              const int64_t lx = int64_t(x) + column, ly = int64_t(y) + h - 1 - row;
              const bool exists = lx <= INT32_MAX && ly <= INT32_MAX;
              const uint32_t seen = exists ? ReadPixel(ctx, int32_t(lx), int32_t(ly)) : 0;
              const uint8_t* t = &texels[(size_t(row) * w + column) * 4];
              mismatches += Packed({t[0], t[1], t[2], 255}) != seen;
            }
          ASSERT_EQ(mismatches, 0);
        }
  }
}

TEST_F(ScreenReads, GrabbingAgainKeepsTheTextureAndAnEmptySizeFrees) {
  OpenGLRainbows& ctx = Context();
  ctx.sprites[2].frameWidth = 4;
  ASSERT_TRUE(GrabSprite(ctx, 2, 0, 0, 20, 20));
  EXPECT_EQ(ctx.sprites[2].frameWidth, 0);
  const uint32_t texture = ctx.sprites[2].texture;
  ASSERT_TRUE(GrabSprite(ctx, 2, 3, 3, 30, 17));
  EXPECT_EQ(ctx.sprites[2].texture, texture);
  ASSERT_TRUE(GrabSprite(ctx, 2, 3, 3, 40, 17));
  EXPECT_EQ(ctx.sprites[2].paddedWidth, 64);
  EXPECT_TRUE(GrabSprite(ctx, 2, 0, 0, 0, 10));
  EXPECT_EQ(ctx.sprites[2].width, 0);
  EXPECT_EQ(ctx.sprites[2].texture, 0u);
  EXPECT_FALSE(GrabSprite(ctx, 2, 0, 0, 20000, 10));
  EXPECT_EQ(ctx.sprites[2].width, 0);
  EXPECT_FALSE(GrabSprite(ctx, kSpriteCount, 0, 0, 1, 1));
}

// A window of its own, made under capability overrides, with the transparent colour cleared in
// and one square of another colour.
class OverriddenGrab : public ::testing::Test {
 protected:
  static constexpr uint32_t kKey = 0x00FF00FF;

  void SetUp() override { gltest::SharedContext(); }
  void TearDown() override {
    ctx_.reset();
    platform::test::OverrideGl({});
  }

  OpenGLRainbows& Make(const platform::test::GlOverrides& overrides) {
    platform::test::OverrideGl(overrides);
    ctx_ = std::make_unique<OpenGLRainbows>();
    EXPECT_TRUE(CreateGraphicsWindow(*ctx_, nullptr, 64, 64, 0, 60, 0));
    ctx_->transparentColour = kKey;
    ClearScreenColour(*ctx_, int32_t(kKey));
    FillRect(*ctx_, 2, 2, 4, 4, 0x336699);
    return *ctx_;
  }

  // (alpha of a key texel, alpha of a square texel, colour of the square texel).
  void ExpectGrab(OpenGLRainbows& ctx, uint8_t keyAlpha) {
    ASSERT_TRUE(GrabSprite(ctx, 0, 0, 0, 8, 8));
    const std::vector<uint8_t> texels = TextureCorner(ctx.sprites[0].texture, 8, 8);
    const uint8_t* key = &texels[0];                   // logical (0, 7)
    const uint8_t* square = &texels[(4 * 8 + 3) * 4];  // logical (3, 3)
    EXPECT_EQ((std::vector<uint8_t>(key, key + 4)), (std::vector<uint8_t>{255, 0, 255, keyAlpha}));
    EXPECT_EQ((std::vector<uint8_t>(square, square + 4)),
              (std::vector<uint8_t>{0x99, 0x66, 0x33, 255}));
  }

  TempDir logFolder_{true};
  std::unique_ptr<OpenGLRainbows> ctx_;
};

TEST_F(OverriddenGrab, WithAlphaBitsTheGrabIsOpaque) {
  ExpectGrab(Make({}), 255);
}

TEST_F(OverriddenGrab, WithoutAlphaBitsTheProbedKeyGetsAlphaZero) {
  OpenGLRainbows& ctx = Make({.noAlphaBits = true});
  ASSERT_EQ(ctx.bgraSupported, 1);
  EXPECT_EQ(ProbeColourPrecision(ctx), 0xFF00FF00u);
  ExpectGrab(ctx, 0);
}

TEST_F(OverriddenGrab, WithoutBgraEitherTheSameColoursComeThroughTheRgbaRead) {
  OpenGLRainbows& ctx = Make({.noBgra = true, .noAlphaBits = true});
  ASSERT_EQ(ctx.bgraSupported, 0);
  ExpectGrab(ctx, 0);
}

}  // namespace
