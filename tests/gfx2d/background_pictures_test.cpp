// Background pictures: tiling under different maximum texture sizes, the screen grabbed and drawn
// back, and drawing in the current blend mode while the frame start stays a plain copy.
#include "gfx2d/background_pictures.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/frame_cycle.h"
#include "frame/render_state.h"
#include "gfx2d/bmp_file.h"
#include "gfx2d/primitives.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "platform/window.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using gltest::ReadBackPixel;
using gltest::ReadRegion;
using gltest::Rgba;

struct TileCase {
  int32_t index, textureSize, width, height;
};

class Backgrounds : public GlFixture {
 protected:
  void TearDown() override {
    platform::test::OverrideGl({});
    Context().bgraSupported = 1;
    for (int32_t n = 0; n < 8; ++n) FreeBackgroundTiles(Context(), n);
    FreeSprite(Context(), 5);
    ResetRenderState(Context());
  }

  void ExpectTiles(int32_t n, int across, int down, const std::vector<TileCase>& tiles) {
    const BackgroundPicture& picture = Context().backgrounds[n];
    EXPECT_EQ(picture.tilesA, across);
    EXPECT_EQ(picture.tilesB, down);
    for (const TileCase& t : tiles) {
      EXPECT_NE(picture.tiles[t.index], 0u) << t.index;
      EXPECT_EQ(picture.textureWidths[t.index], t.textureSize) << t.index;
      EXPECT_EQ(picture.textureHeights[t.index], t.textureSize) << t.index;
      EXPECT_EQ(picture.tileWidths[t.index], t.width) << t.index;
      EXPECT_EQ(picture.tileHeights[t.index], t.height) << t.index;
    }
  }

  // Colour bands, rectangles and a patterned sprite across every tile boundary in use. The
  // sprite stays under the smallest texture limit the tests force.
  void DrawBusyFrame() {
    OpenGLRainbows& ctx = Context();
    gltest::ClearTarget(0.2f, 0.4f, 0.6f);
    for (int i = 0; i < 12; ++i) FillRect(ctx, i * 53, i * 37, 90, 70, 0x102030u * (i + 1));
    ScopedImage pattern(240, 200, gltest::PatternPixels(240, 200));
    ASSERT_TRUE(CreateSpriteFromImage(ctx, 5, pattern.image, -1, false));
    SetSpriteSmoothing(ctx, 0);
    DrawSprite(ctx, 5, 200, 180);
    SetSpriteSmoothing(ctx, 1);
  }
};

TEST_F(Backgrounds, GrabbedTilesGrowFrom128UpToTheWindowOrTheTextureLimit) {
  OpenGLRainbows& ctx = Context();
  platform::test::OverrideGl({.maxTextureSize = 2048});
  GrabBackground(ctx, 1);
  ExpectTiles(1, 1, 1, {{0, 1024, 640, 480}});
  const uint32_t reused = ctx.backgrounds[1].tiles[0];
  GrabBackground(ctx, 1);
  EXPECT_EQ(ctx.backgrounds[1].tiles[0], reused);

  platform::test::OverrideGl({.maxTextureSize = 256});
  GrabBackground(ctx, 1);
  ExpectTiles(1, 3, 2,
              {{0, 256, 256, 256},
               {1, 256, 256, 224},
               {8, 256, 256, 256},
               {16, 256, 128, 256},
               {17, 256, 128, 224}});
  EXPECT_EQ(ctx.backgrounds[1].tiles[24], 0u);
}

TEST_F(Backgrounds, LoadedPicturesUse512TilesAndBadFilesLeaveThePictureAlone) {
  OpenGLRainbows& ctx = Context();
  TempDir folder;
  ScopedImage wide(1000, 300, gltest::PatternPixels(1000, 300));
  ASSERT_TRUE(SaveBmpImage(folder.Child("wide.bmp").c_str(), wide.image));
  platform::test::OverrideGl({.maxTextureSize = 4096});
  ASSERT_TRUE(LoadBackgroundPicture(ctx, 2, folder.Child("wide.bmp").c_str()));
  ExpectTiles(2, 2, 1, {{0, 512, 512, 512}, {8, 512, 512, 512}});

  const BackgroundPicture before = ctx.backgrounds[2];
  EXPECT_FALSE(LoadBackgroundPicture(ctx, 2, folder.Child("missing.bmp").c_str()));
  ScopedImage tooWide(4200, 1, gltest::SolidPixels(4200, 1, 1, 2, 3, 255));
  ASSERT_TRUE(SaveBmpImage(folder.Child("too-wide.bmp").c_str(), tooWide.image));
  EXPECT_FALSE(LoadBackgroundPicture(ctx, 2, folder.Child("too-wide.bmp").c_str()));
  EXPECT_EQ(std::memcmp(&before, &ctx.backgrounds[2], sizeof before), 0);
}

TEST_F(Backgrounds, AGrabbedScreenDrawsBackExactlyThroughEitherGrabPath) {
  OpenGLRainbows& ctx = Context();
  for (const bool bgra : {true, false}) {
    for (const int limit : {0, 256}) {
      SCOPED_TRACE(testing::Message() << "bgra " << bgra << " limit " << limit);
      ctx.bgraSupported = bgra;
      platform::test::OverrideGl({.maxTextureSize = limit});
      DrawBusyFrame();
      const std::vector<uint8_t> original = ReadRegion(ctx, 0, 0, 640, 480);
      GrabBackground(ctx, 3);
      gltest::ClearTarget(1, 0, 0);
      ResetRenderState(ctx);
      DrawBackgroundPicture(ctx, 3);
      EXPECT_TRUE(ReadRegion(ctx, 0, 0, 640, 480) == original);
      FreeSprite(ctx, 5);
    }
  }
}

TEST_F(Backgrounds, PicturesBlendInTheCurrentModeButTheFrameStartIsAPlainCopy) {
  OpenGLRainbows& ctx = Context();
  gltest::ClearTarget(0, 0, 1);
  GrabBackground(ctx, 0);
  gltest::ClearTarget(1, 0, 0);
  // Blend mode 0.5 with the alpha test off: half of the picture over the frame.
  SetAlphaTest(ctx, 1.0f);
  CachedEnable(kCapBlend);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ctx.drawAlpha = 0.5f;
  CachedColour(1, 1, 1, 0.5f);
  DrawBackgroundPicture(ctx, 0);
  const Rgba blended = ReadBackPixel(ctx, 320, 240);
  EXPECT_NEAR(blended[0], 128, 1);
  EXPECT_NEAR(blended[2], 128, 1);
  // Afterwards: normal alpha blending at full draw alpha, the alpha test off.
  EXPECT_EQ(GlStateCache.enabled[kCapBlend], 1);
  EXPECT_EQ(ctx.drawAlpha, 1.0f);
  EXPECT_EQ(ctx.alphaTestReference, 1.0f);

  gltest::ClearTarget(1, 0, 0);
  ctx.drawAlpha = 0.5f;
  CachedColour(1, 1, 1, 0.5f);
  ClearFrame(ctx);
  EXPECT_EQ(ReadBackPixel(ctx, 320, 240), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(ReadBackPixel(ctx, 639, 479), (Rgba{0, 0, 255, 255}));
}

}  // namespace
