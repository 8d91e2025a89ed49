// Sprites and the screen read back into images and saved as files.
#include "gfx2d/sprite_pixels.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx2d/bmp_file.h"
#include "gfx2d/framebuffer_objects.h"
#include "gfx2d/primitives.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

class SpritePixels : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    saved_ = FboEntryPoints;
  }
  void TearDown() override {
    FboEntryPoints = saved_;
    FreeSprite(Context(), 9);
    Context().drawAlpha = 1.0f;
  }
  FboEntryPointTable saved_{};  // as the shared context's set-up loaded it
};

// The window as it shows: whatever alpha the frame holds, a saved screen is opaque.
std::string WindowAsSaved(const OpenGLRainbows& ctx) {
  std::vector<uint8_t> pixels = gltest::ReadRegion(ctx, 0, 0, ctx.windowWidth, ctx.windowHeight);
  for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
  return std::string(pixels.begin(), pixels.end());
}

TEST_F(SpritePixels, SaveScreenWritesTheWindowWithOrWithoutFramebuffers) {
  OpenGLRainbows& ctx = Context();
  TempDir folder;
  gltest::ClearTarget(0.1f, 0.5f, 0.9f);
  ScopedImage pattern(200, 100, gltest::PatternPixels(200, 100));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 9, pattern.image, -1, false));
  DrawSprite(ctx, 9, 300, 200);
  ctx.drawAlpha = 0.5f;
  FillRect(ctx, 5, 5, 3, 3, 0x00FF00);  // alpha 127 in the frame
  ctx.drawAlpha = 1.0f;
  const std::string expected = WindowAsSaved(ctx);
  ASSERT_NE(gltest::ReadRegion(ctx, 5, 5, 1, 1)[3], 255);

  for (const bool framebuffers : {true, false}) {
    SCOPED_TRACE(framebuffers ? "framebuffer read" : "texture read");
    if (!framebuffers) FboEntryPoints = {};
    const int32_t freeBefore = FindFreeSprite(ctx);
    const std::string name = folder.Child(framebuffers ? "fbo.bmp" : "tex.bmp");
    ASSERT_TRUE(SaveScreen(ctx, name.c_str()));
    EXPECT_EQ(FindFreeSprite(ctx), freeBefore);
    ScopedImage saved;
    ASSERT_TRUE(LoadBmpImage(saved.image, name.c_str(), -1));
    ASSERT_EQ(saved.image.width, 640);
    ASSERT_EQ(saved.image.height, 480);
    EXPECT_TRUE(saved.Pixels() == expected);
  }
  ASSERT_TRUE(GrabSprite(ctx, 9, 0, 0, 8, 8));
  ASSERT_TRUE(SaveSprite(ctx, 9, folder.Child("grab.png").c_str()));
  ScopedImage grab;
  ASSERT_TRUE(LoadAnyImage(grab.image, folder.Child("grab.png").c_str(), -1));
  EXPECT_EQ(grab.Pixels().substr((5 * 8 + 5) * 4, 4), expected.substr((5 * 640 + 5) * 4, 4));
}

TEST_F(SpritePixels, ASpriteReadsBackTopRowFirstAndFreeOrMissingSpritesFail) {
  OpenGLRainbows& ctx = Context();
  TempDir folder;
  const std::string pixels = gltest::PatternPixels(20, 12);
  ScopedImage image(20, 12, pixels);
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 9, image.image, -1, false));
  ScopedImage read;
  ASSERT_TRUE(ReadPixelsToImage(ctx, 9, read.image));
  EXPECT_EQ(read.Pixels(), pixels);

  EXPECT_FALSE(SaveSprite(ctx, 8, folder.Child("free.bmp").c_str()));
  EXPECT_FALSE(std::filesystem::exists(folder.Child("free.bmp")));
  ASSERT_TRUE(SaveSprite(ctx, 9, folder.Child("sprite.png").c_str()));
  ScopedImage saved;
  ASSERT_TRUE(LoadAnyImage(saved.image, folder.Child("sprite.png").c_str(), -1));
  EXPECT_EQ(saved.Pixels(), pixels);
}

TEST_F(SpritePixels, SaveScreenWithEveryIdInUseFailsAndTouchesNoSprite) {
  OpenGLRainbows& ctx = Context();
  TempDir folder;
  std::vector<int32_t> marked;
  for (int32_t id = 0; id < kFirstFontSprite; ++id) {
    if (ctx.sprites[id].width == 0) {
      ctx.sprites[id].width = 1;
      marked.push_back(id);
    }
  }
  EXPECT_FALSE(SaveScreen(ctx, folder.Child("x.bmp").c_str()));
  for (int32_t id : marked) {
    EXPECT_EQ(ctx.sprites[id].texture, 0u);
    ctx.sprites[id].width = 0;
  }
}

}  // namespace
