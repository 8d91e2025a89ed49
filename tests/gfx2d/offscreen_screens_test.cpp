// Off-screen screens on framebuffer objects, their failure paths forced through wrapped entry
// points, and the copy fall-back without framebuffer objects.
#include "gfx2d/offscreen_screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx2d/framebuffer_objects.h"
#include "gfx2d/primitives.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_pixels.h"
#include "gfx2d/sprite_store.h"
#include "platform/window.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using gltest::ReadBackPixel;
using gltest::ReadRegion;
using gltest::Rgba;

constexpr int32_t kScreenSprite = 30;
constexpr uint32_t kRed = 0x0000FF;
constexpr Rgba kRedPixel{255, 0, 0, 255};
constexpr Rgba kBluePixel{0, 0, 255, 255};

Rgba PixelAt(const std::vector<uint8_t>& pixels, int width, int x, int y) {
  const size_t at = (size_t(y) * width + x) * 4;
  return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

class Screens : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    saved_ = FboEntryPoints;
    gltest::ClearTarget(0, 0, 0);
  }
  void TearDown() override {
    OpenGLRainbows& ctx = Context();
    EndOffscreenScreen(ctx);
    for (OffscreenScreen& screen : ctx.screens) DeleteFramebuffer(screen);
    for (int32_t sprite : {kScreenSprite, kScreenSprite + 1, 65503}) FreeSprite(ctx, sprite);
    FboEntryPoints = saved_;
    platform::test::OverrideGl({});
  }

  std::string Log() const { return TempDir::ReadBytes(logFolder_.Child("ErrorLog.txt")); }

  TempDir logFolder_{true};
  FboEntryPointTable saved_{};  // as the shared context's set-up loaded it
};

TEST_F(Screens, DrawingLandsInTheScreenSpriteAndTheWindowShowsIt) {
  OpenGLRainbows& ctx = Context();
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 0, kScreenSprite, 100, 50));
  UseOffscreenScreen(ctx, 0);
  EXPECT_EQ(GetFramebufferColourObject(), ctx.sprites[kScreenSprite].texture);
  FillRect(ctx, 10, 5, 20, 10, kRed);
  // Reads while the screen is in use come from the screen, rows counted in its picture.
  const std::vector<uint8_t> inScreen = ReadRegion(ctx, 0, 0, 100, 50);
  EXPECT_EQ(PixelAt(inScreen, 100, 10, 5), kRedPixel);
  EXPECT_EQ(PixelAt(inScreen, 100, 29, 14), kRedPixel);
  EXPECT_EQ(PixelAt(inScreen, 100, 30, 14)[0], 0);
  EndOffscreenScreen(ctx);
  EXPECT_EQ(GetFramebufferBinding(), 0u);
  EXPECT_EQ(ReadBackPixel(ctx, 10, 5), (Rgba{0, 0, 0, 255}));  // the window is untouched

  FillRect(ctx, 0, 0, 640, 480, 0xFF0000);
  DrawSprite(ctx, kScreenSprite, 200, 100);
  EXPECT_EQ(ReadBackPixel(ctx, 210, 105), kRedPixel);
  EXPECT_EQ(ReadBackPixel(ctx, 229, 114), kRedPixel);
  EXPECT_EQ(ReadBackPixel(ctx, 230, 114), kBluePixel);  // transparent in the screen's picture

  ASSERT_TRUE(CreateOffscreenScreen(ctx, 1, kScreenSprite + 1, 1, 1));
  EXPECT_EQ(ctx.screens[1].width, 16);
}

TEST_F(Screens, SwitchingEndsTheScreenInUseAndBadRequestsAreLoggedAndRefused) {
  OpenGLRainbows& ctx = Context();
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 0, kScreenSprite, 40, 40));
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 1, kScreenSprite + 1, 40, 40));
  UseOffscreenScreen(ctx, 0);
  UseOffscreenScreen(ctx, 1);
  EXPECT_EQ(ctx.currentScreen, 1);
  EXPECT_EQ(ctx.screens[0].savedBinding, -1);
  EXPECT_EQ(Log().find("rebind"), std::string::npos);
  EXPECT_FALSE(BindFramebuffer(ctx.screens[1]));
  EXPECT_EQ(Log(), "Trying to rebind the same FBO again. Need to end first\n");
  UseOffscreenScreen(ctx, 32);  // not a screen: the window
  EXPECT_EQ(ctx.currentScreen, -1);
  UseOffscreenScreen(ctx, 5);  // never made: the window
  EXPECT_EQ(ctx.currentScreen, -1);

  const SpriteRecord before = ctx.sprites[kScreenSprite];
  EXPECT_FALSE(CreateOffscreenScreen(ctx, 2, kScreenSprite, 0, 16));
  EXPECT_EQ(std::memcmp(&before, &ctx.sprites[kScreenSprite], sizeof before), 0);
  OffscreenScreen scratch;
  EXPECT_FALSE(CreateFramebuffer(scratch, 0, 16, before.texture, true));
  EXPECT_FALSE(CreateOffscreenScreen(ctx, -1, kScreenSprite, 8, 8));
  EXPECT_EQ(Log(),
            "Trying to rebind the same FBO again. Need to end first\n"
            "can't create FBO for neg dims 0x16\n"
            "can't create FBO for neg dims 0x16\n");
}

PFNGLRENDERBUFFERSTORAGEEXTPROC RealStorage;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC RealStatus;
int UnsupportedAnswersLeft = 0;

// Mesa takes every depth format; format 0 raises the GL_INVALID_ENUM of a driver that does not.
void APIENTRY RefuseDepth32(GLenum target, GLenum format, GLsizei w, GLsizei h) {
  RealStorage(target, format == GL_DEPTH_COMPONENT32 ? 0 : format, w, h);
}

GLenum APIENTRY UnsupportedOnce(GLenum target) {
  const GLenum real = RealStatus(target);
  return UnsupportedAnswersLeft-- > 0 ? GL_FRAMEBUFFER_UNSUPPORTED_EXT : real;
}

TEST_F(Screens, DepthFormatsFallBackAndAnIncompleteFramebufferRetriesWithoutDepth) {
  OpenGLRainbows& ctx = Context();
  RealStorage = FboEntryPoints.glRenderbufferStorageEXT;
  FboEntryPoints.glRenderbufferStorageEXT = RefuseDepth32;
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 0, kScreenSprite, 64, 64));
  EXPECT_NE(ctx.screens[0].depthBuffer, 0u);
  EXPECT_EQ(Log(), "depth 32 failed, try 24\n");
  FboEntryPoints = saved_;

  RealStatus = FboEntryPoints.glCheckFramebufferStatusEXT;
  FboEntryPoints.glCheckFramebufferStatusEXT = UnsupportedOnce;
  UnsupportedAnswersLeft = 1;
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 1, kScreenSprite + 1, 64, 64));
  EXPECT_EQ(ctx.screens[1].depthBuffer, 0u);
  EXPECT_NE(ctx.screens[1].framebuffer, 0u);
  EXPECT_EQ(Log(),
            "depth 32 failed, try 24\n"
            "glBindRenderbufferExt failed 8cdd\n"
            "Trying without a depth buffer as a fallback...\n");
  UnsupportedAnswersLeft = 2;
  EXPECT_FALSE(CreateOffscreenScreen(ctx, 1, kScreenSprite + 1, 64, 64));
  EXPECT_EQ(ctx.screens[1].sprite, -1);
  EXPECT_NE(Log().find("failed 8cdd\nCAN'T CREATE FRAMEBUFFER (CREATESCREEN)\n"),
            std::string::npos);
}

TEST_F(Screens, WithoutFramebufferObjectsTheCopyFallBackDrawsIntoTheScreen) {
  OpenGLRainbows& ctx = Context();
  platform::test::OverrideGl({.noFramebufferObjects = true});
  LoadFramebufferExtensions();
  EXPECT_EQ(FboEntryPoints.supported, 0u);
  const std::string log = Log();
  EXPECT_EQ(log.substr(0, 51), "ext: glBindRenderbufferEXT" + std::string(17, ' ') + "[FAILED]");
  EXPECT_NE(log.find("ext: glGetFramebufferAttachmentParameterivEXT   [FAILED]can't use "
                     "framebuffer object\n"),
            std::string::npos);

  ScopedImage keep(4, 4, gltest::PatternPixels(4, 4));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 65503, keep.image, -1, false));
  const SpriteRecord kept = ctx.sprites[65503];
  FillRect(ctx, 0, 0, 640, 480, 0xFF0000);
  ASSERT_TRUE(CreateOffscreenScreen(ctx, 0, kScreenSprite, 100, 50));
  UseOffscreenScreen(ctx, 0);
  FillRect(ctx, 10, 5, 20, 10, kRed);
  EXPECT_EQ(PixelAt(ReadRegion(ctx, 0, 0, 100, 50), 100, 10, 5), kRedPixel);
  EndOffscreenScreen(ctx);

  EXPECT_EQ(ReadBackPixel(ctx, 10, 5), kBluePixel);  // the window has its content back
  EXPECT_EQ(ReadBackPixel(ctx, 99, 49), kBluePixel);
  RgbaImage picture;
  ASSERT_TRUE(ReadPixelsToImage(ctx, kScreenSprite, picture));
  EXPECT_EQ(
      PixelAt(std::vector<uint8_t>(picture.pixels, picture.pixels + 100 * 50 * 4), 100, 10, 5),
      kRedPixel);
  ReleaseImage(picture);
  EXPECT_EQ(std::memcmp(&kept, &ctx.sprites[65503], sizeof kept), 0);
  RgbaImage stillKept;
  ASSERT_TRUE(ReadPixelsToImage(ctx, 65503, stillKept));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(stillKept.pixels), 64), keep.Pixels());
  ReleaseImage(stillKept);
}

}  // namespace
