// Pixel-exact collision over alpha masks: masks made by hand, and one read from a texture.
#include "gfx2d/pixel_collision.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

constexpr int32_t kA = 20;
constexpr int32_t kB = 21;

class Collision : public GlFixture {
 protected:
  void TearDown() override {
    for (int32_t sprite : {kA, kB}) {
      FreeSprite(Context(), sprite);
      Context().sprites[sprite].frameWidth = Context().sprites[sprite].frameHeight = 0;
    }
  }

  // A sprite with no texture whose mask is opaque where opaque(x, y) holds, (0, 0) its top-left.
  void SetMask(int32_t sprite, int w, int h, const std::function<bool(int, int)>& opaque) {
    OpenGLRainbows& ctx = Context();
    SpriteRecord& record = ctx.sprites[sprite];
    record.width = int16_t(w);
    record.height = int16_t(h);
    record.paddedWidth = int16_t(w + 3);  // rows longer than the image, as in a padded texture
    record.paddedHeight = int16_t(h);
    auto* mask = static_cast<uint8_t*>(std::calloc(size_t(w + 3) * h, 1));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) mask[size_t(h - 1 - y) * (w + 3) + x] = opaque(x, y) ? 255 : 0;
    }
    std::free(ctx.alphaMasks[sprite]);
    ctx.alphaMasks[sprite] = mask;
  }
};

auto Everywhere = [](int, int) { return true; };

TEST_F(Collision, OpaqueSpritesCollideOnlyWhereTheyShareAPixel) {
  OpenGLRainbows& ctx = Context();
  SetMask(kA, 10, 10, Everywhere);
  SetMask(kB, 10, 10, Everywhere);
  EXPECT_FALSE(SpriteCollision(ctx, kA, kB, 0, 0, 10, 0));  // touching edges
  EXPECT_FALSE(SpriteCollision(ctx, kA, kB, 0, 0, 0, 10));
  EXPECT_TRUE(SpriteCollision(ctx, kA, kB, 0, 0, 9, 9));  // one corner pixel shared
  EXPECT_TRUE(SpriteCollision(ctx, kA, kB, 5, 5, 0, 0));
}

TEST_F(Collision, TransparentTexelsNeverCollideAndOneSharedOpaqueTexelDoes) {
  OpenGLRainbows& ctx = Context();
  SetMask(kA, 10, 10, [](int x, int) { return x < 5; });
  SetMask(kB, 10, 10, [](int x, int) { return x >= 5; });
  EXPECT_FALSE(SpriteCollision(ctx, kA, kB, 0, 0, 0, 0));
  // Every position of the single texel is found, whichever pass of the scan reaches it.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 5; ++x) {
      SetMask(kB, 10, 10, [&](int bx, int by) { return bx == x && by == y; });
      EXPECT_TRUE(SpriteCollision(ctx, kA, kB, 0, 0, 0, 0)) << x << "," << y;
      EXPECT_TRUE(SpriteCollision(ctx, kA, kB, 3, 4, 3, 4)) << x << "," << y;
    }
  }
}

TEST_F(Collision, AnimFramesAreTakenRowByRowAndBadFramesNeverCollide) {
  OpenGLRainbows& ctx = Context();
  // A strip of 4 x 2 frames of 10 x 10 where only frame 5 (second row, second column) has ink.
  SetMask(kA, 40, 20, [](int x, int y) { return x >= 10 && x < 20 && y >= 10; });
  ctx.sprites[kA].frameWidth = 10;
  ctx.sprites[kA].frameHeight = 10;
  SetMask(kB, 10, 10, Everywhere);
  EXPECT_TRUE(AnimCollision(ctx, kA, 5, 100, 100, kB, 0, 105, 105));
  EXPECT_TRUE(AnimCollision(ctx, kB, 0, 91, 91, kA, 5, 100, 100));
  for (int32_t frame : {0, 1, 4, 6}) {
    EXPECT_FALSE(AnimCollision(ctx, kA, frame, 100, 100, kB, 0, 100, 100)) << frame;
  }
  EXPECT_FALSE(AnimCollision(ctx, kA, 8, 100, 100, kB, 0, 100, 100));  // past the image
  EXPECT_FALSE(AnimCollision(ctx, kA, -1, 100, 100, kB, 0, 100, 100));
  FreeSprite(ctx, kB);
  EXPECT_FALSE(AnimCollision(ctx, kA, 5, 100, 100, kB, 0, 100, 100));
  EXPECT_FALSE(SpriteCollision(ctx, kA, kB, 100, 100, 100, 100));
}

TEST_F(Collision, MasksAreReadFromTheTextureOnceAndKeptAtLeast64Bytes) {
  OpenGLRainbows& ctx = Context();
  std::string pixels = gltest::SolidPixels(3, 3, 9, 9, 9, 0);
  pixels[4 * 4 + 3] = char(255);  // only the centre is opaque
  ScopedImage image(3, 3, pixels);
  ASSERT_TRUE(CreateSpriteFromImage(ctx, kA, image.image, -1, false));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, kB, image.image, -1, false));
  CacheSpriteAlphaMask(ctx, kA);
  const uint8_t* mask = ctx.alphaMasks[kA];
  ASSERT_NE(mask, nullptr);
  // 16 x 16 texels, the image in the lower-left corner with its bottom row first.
  for (int i = 0; i < 256; ++i) EXPECT_EQ(mask[i] != 0, i == 1 * 16 + 1) << i;
  CacheSpriteAlphaMask(ctx, kA);
  EXPECT_EQ(ctx.alphaMasks[kA], mask);
  EXPECT_TRUE(SpriteCollision(ctx, kA, kB, 10, 10, 10, 10));
  EXPECT_FALSE(SpriteCollision(ctx, kA, kB, 10, 10, 11, 10));
}

}  // namespace
