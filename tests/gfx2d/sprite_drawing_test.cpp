// Sprites and animation frames drawn plain, stretched, rotated and zoomed, read back.
#include "gfx2d/sprite_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

using gltest::CountLit;
using gltest::ReadRegion;

constexpr int32_t kSprite = 7;

class SpriteDrawing : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    gltest::ClearTarget(0, 0, 0);
    SetSpriteSmoothing(Context(), 0);
  }
  void TearDown() override {
    FreeSprite(Context(), kSprite);
    SetSpriteSmoothing(Context(), 1);
  }

  void MakeSprite(int w, int h, const std::string& pixels) {
    ScopedImage image(w, h, pixels);
    ASSERT_TRUE(CreateSpriteFromImage(Context(), kSprite, image.image, -1, false));
  }

  // Lit pixels of the region, as a mask, after one draw on a black window.
  template <typename Draw>
  std::vector<bool> CoverageOf(Draw draw) {
    gltest::ClearTarget(0, 0, 0);
    draw();
    const std::vector<uint8_t> pixels = ReadRegion(Context(), 0, 0, 200, 200);
    std::vector<bool> lit;
    for (size_t i = 0; i < pixels.size(); i += 4)
      lit.push_back(pixels[i] | pixels[i + 1] | pixels[i + 2]);
    return lit;
  }
};

TEST_F(SpriteDrawing, DrawSpriteLightsExactlyItsPixelsWithItsTexels) {
  OpenGLRainbows& ctx = Context();
  const std::string pattern = gltest::PatternPixels(40, 20);
  MakeSprite(40, 20, pattern);
  DrawSprite(ctx, kSprite, 30, 40);
  const std::vector<uint8_t> drawn = ReadRegion(ctx, 30, 40, 40, 20);
  EXPECT_EQ(std::string(drawn.begin(), drawn.end()), pattern);
  EXPECT_EQ(CountLit(ReadRegion(ctx, 0, 0, 200, 200)), 800);
}

TEST_F(SpriteDrawing, RotoZoomCoversTheDrawnRectangleTurnedAndScaledAboutItsCentre) {
  OpenGLRainbows& ctx = Context();
  MakeSprite(40, 20, gltest::SolidPixels(40, 20, 255, 255, 255, 255));
  const auto plain = CoverageOf([&] { DrawSprite(ctx, kSprite, 50, 60); });
  EXPECT_EQ(CoverageOf([&] { RotoZoomSprite(ctx, kSprite, 50, 60, 0.0f, 1.0f); }), plain);

  // Centre (70, 70): turned a quarter, the sprite fills the 20 x 40 box about it.
  gltest::ClearTarget(0, 0, 0);
  RotoZoomSprite(ctx, kSprite, 50, 60, 90.0f, 1.0f);
  EXPECT_EQ(CountLit(ReadRegion(ctx, 60, 50, 20, 40)), 800);
  EXPECT_EQ(CountLit(ReadRegion(ctx, 0, 0, 200, 200)), 800);

  gltest::ClearTarget(0, 0, 0);
  RotoZoomSprite(ctx, kSprite, 50, 60, 0.0f, 2.0f);
  EXPECT_EQ(CountLit(ReadRegion(ctx, 0, 0, 200, 200)), 3200);
  gltest::ClearTarget(0, 0, 0);
  StretchSprite(ctx, kSprite, 10, 10, 80, 40);
  EXPECT_EQ(CountLit(ReadRegion(ctx, 10, 10, 80, 40)), 3200);
}

TEST_F(SpriteDrawing, AnimFramesDrawTheirPartOfTheImageAndNothingWithoutAFrameSize) {
  OpenGLRainbows& ctx = Context();
  const std::string pattern = gltest::PatternPixels(40, 20);
  MakeSprite(40, 20, pattern);
  auto drawAll = [&] {
    DrawAnimFrame(ctx, kSprite, 3, 0, 0);
    StretchAnimFrame(ctx, kSprite, 3, 0, 0, 30, 30);
    RotoZoomAnimFrame(ctx, kSprite, 3, 0, 0, 30.0f, 2.0f);
  };
  drawAll();
  EXPECT_EQ(CountLit(ReadRegion(ctx, 0, 0, 200, 200)), 0);

  SetSpriteAnimSize(ctx, kSprite, 20, 10);
  DrawAnimFrame(ctx, kSprite, 3, 100, 100);  // second row, second column
  const std::vector<uint8_t> drawn = ReadRegion(ctx, 100, 100, 20, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) {
      const size_t at = (size_t(y) * 20 + x) * 4, from = (size_t(y + 10) * 40 + x + 20) * 4;
      ASSERT_EQ(drawn[at], uint8_t(pattern[from])) << x << "," << y;
      ASSERT_EQ(drawn[at + 1], uint8_t(pattern[from + 1])) << x << "," << y;
    }
  }
}

}  // namespace
