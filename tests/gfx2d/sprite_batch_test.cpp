// Held sprite draws must leave every pixel and every read exactly as drawing each sprite alone:
// one mixed frame drawn both ways and compared.
#include "gfx2d/sprite_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/screen_orientation.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/command_fixture.h"
#include "tests/gfx2d/screen_test_util.h"

namespace {

constexpr int32_t kSpriteA = 3, kSpriteB = 4, kGrabbed = 5, kScreenSprite = 6, kScreen = 1;

// Colours and alpha vary with the position, so a texel, filter or blend mix-up shows.
std::string TranslucentPixels(int w, int h, int seed) {
  std::string pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pixels += char(seed + x * 7);
      pixels += char(seed * 3 + y * 11);
      pixels += char((x ^ y) * 9);
      pixels += char((x + y) % 5 == 0 ? 0 : 40 + (x * y) % 200);
    }
  }
  return pixels;
}

class SpriteBatchFrame : public CommandFixture {
 protected:
  void TearDown() override {
    SetSpriteBatching(true);
    UseScreenCmd(-1);
    for (int32_t s : {kSpriteA, kSpriteB, kGrabbed, kScreenSprite}) FreeSprite(Context(), s);
    SetBlendMode(0);
    SetSpriteSmoothingCmd(1);
    CommandFixture::TearDown();
  }

  void MakeSprite(int32_t sprite, int w, int h, int seed) {
    ScopedImage image(w, h, TranslucentPixels(w, h, seed));
    ASSERT_TRUE(CreateSpriteFromImage(Context(), sprite, image.image, -1, false));
  }

  void Run(int32_t count, int32_t sprite, int32_t x, int32_t y) {
    for (int32_t i = 0; i < count; ++i) DrawSpriteCmd(sprite, x + i * 5 % 300, y + i * 3 % 200);
  }

  // Sprites in long runs and short ones, with every kind of change between them; the reads
  // come out in reads, the window's pixels are returned.
  std::vector<uint8_t> DrawMixedFrame(std::vector<int32_t>& reads) {
    OpenGLRainbows& ctx = Context();
    ClearScreenColour(ctx, 0x203040);
    MakeSprite(kSpriteA, 32, 32, 1);
    MakeSprite(kSpriteB, 20, 12, 50);
    SetSpriteSmoothingCmd(0);
    Run(200, kSpriteA, 0, 0);
    reads.push_back(GetPixel(10, 10));
    SetBlendMode(-0.5);
    for (int32_t i = 0; i < 60; ++i) DrawSpriteCmd(i % 7 ? kSpriteA : kSpriteB, i * 4, 40 + i);
    SetBlendMode(-1);
    StretchSpriteCmd(kSpriteA, 300, 10, 90, 70);
    SetSpriteSmoothingCmd(1);
    StretchSpriteCmd(kSpriteA, 320, 30, 90, 70);
    ZoomSpriteCmd(kSpriteA, 400, 50, 2.5, 1.5);
    SetSpriteSmoothingCmd(0);
    ZoomSpriteCmd(kSpriteA, 420, 60, -1.5, 2.0);
    SetBlendMode(2);
    SetSpriteAnimSizeCmd(kSpriteA, 8, 8);
    for (int32_t f = 0; f < 20; ++f) DrawAnimFrameCmd(kSpriteA, f, 20 + f * 9, 300);
    for (int32_t f = 0; f < 6; ++f) StretchAnimFrameCmd(kSpriteA, f, 20 + f * 30, 320, 25, 17);
    RotoZoomAnimFrameCmd(kSpriteA, 3, 250, 330, 30.0, 3.0);
    RotateSpriteCmd(kSpriteB, 300, 300, 45.0);
    RotoZoomSpriteCmd(kSpriteA, 350, 300, -20.0, 1.7);
    Run(10, kSpriteB, 200, 250);
    reads.push_back(GetPixel(205, 255));
    SetBlendMode(0);
    Run(10, kSpriteA, 100, 100);
    DrawRect(110, 110, 40, 30, 0x00FF00);
    DrawLineCmd(90, 90, 200, 170, 0x0000FF);
    Run(10, kSpriteA, 105, 95);
    DrawPointCmd(120, 120, 0xFFFFFF);
    PrintText(OwnedStr("batch").s, 100, 100, 0);
    Run(10, kSpriteB, 108, 98);
    SetViewportCmd(50, 200, 200, 120);
    Run(30, kSpriteA, 0, 0);
    SetViewportCmd(0, 0, 0, 0);
    Run(10, kSpriteA, 500, 20);
    EXPECT_EQ(GrabSpriteCmd(kGrabbed, 500, 20, 64, 64), 1);
    Run(5, kSpriteA, 510, 30);
    DrawSpriteCmd(kGrabbed, 560, 380);
    EXPECT_EQ(CreateScreenCmd(kScreen, kScreenSprite, 100, 80), 1);
    UseScreenCmd(kScreen);
    Run(20, kSpriteB, 0, 0);
    reads.push_back(GetPixel(3, 3));
    UseScreenCmd(-1);
    Run(5, kSpriteB, 440, 400);
    DrawSpriteCmd(kScreenSprite, 520, 250);
    MakeSprite(kSpriteA, 32, 32, 99);
    Run(10, kSpriteA, 20, 400);
    SetSpriteSmoothingCmd(1);
    Run(10, kSpriteA, 25, 403);
    reads.push_back(GetPixel(30, 410));
    return gltest::ReadRegion(ctx, 0, 0, ctx.windowWidth, ctx.windowHeight);
  }
};

TEST_F(SpriteBatchFrame, HeldDrawsGiveTheSamePixelsAndReadsAsLoneDraws) {
  std::vector<int32_t> lone, held;
  SetSpriteBatching(false);
  const std::vector<uint8_t> lonePixels = DrawMixedFrame(lone);
  SetSpriteBatching(true);
  const std::vector<uint8_t> heldPixels = DrawMixedFrame(held);
  EXPECT_EQ(held, lone);
  ASSERT_EQ(heldPixels.size(), lonePixels.size());
  size_t differing = 0;
  for (size_t i = 0; i < heldPixels.size(); ++i) differing += heldPixels[i] != lonePixels[i];
  EXPECT_EQ(differing, 0u);
  EXPECT_GT(gltest::CountLit(heldPixels), 10000);
}

}  // namespace
