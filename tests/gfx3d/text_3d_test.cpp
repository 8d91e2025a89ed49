// Billboards and 3D text read back, with the scene's matrices set directly: the camera is the
// identity and the projection maps x 0..640 and y 0..480 onto the window, y downwards.
#include "gfx3d/text_3d.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "frame/default_font.h"
#include "frame/render_state.h"
#include "frame/screen_orientation.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/scene.h"
#include "tests/support/gl_fixture.h"

namespace {

using gltest::ReadBackPixel;
using gltest::Rgba;

constexpr Rgba kBackground{0, 0, 0, 255};
constexpr int32_t kSprite = 77;

Mat4 WindowProjection() {
  Mat4 m = IdentityMatrix();
  m.m[0] = 2.0f / 640;
  m.m[5] = -2.0f / 480;
  m.m[10] = -1;
  m.m[12] = -1;
  m.m[13] = 1;
  return m;
}

class Text3D : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    ASSERT_TRUE(CreateDefaultFont(Context(), 0));
    ClearScreenColour(Context(), 0x000000);
    scene.camera = IdentityMatrix();
    scene.projection = WindowProjection();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(scene.projection.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void TearDown() override {
    FreeSprite(Context(), kFirstFontSprite);
    FreeSprite(Context(), kSprite);
  }

  // Lit pixels inside the box, and outside it within a margin of 12 pixels.
  std::pair<int, int> LitInAndAround(int x0, int y0, int x1, int y1) {
    int inside = 0, outside = 0;
    for (int y = y0 - 12; y < y1 + 12; ++y) {
      for (int x = x0 - 12; x < x1 + 12; ++x) {
        if (ReadBackPixel(Context(), x, y) == kBackground) continue;
        (x >= x0 && x < x1 && y >= y0 && y < y1 ? inside : outside) += 1;
      }
    }
    return {inside, outside};
  }
  void CullAndLight() {
    CachedEnable(kCapCullFace);
    CachedEnable(kCapLighting);
  }
  void ExpectCullingAndLightingOn() {
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  }

  Rainbows3D scene{&Context()};
};

TEST_F(Text3D, ScreenLabelSitsCentredAboveItsPoint) {
  CullAndLight();
  PrintText3D(Context(), 0, "A", 100, 200, 0, 0, 0);
  ExpectCullingAndLightingOn();
  const auto [inside, outside] = LitInAndAround(96, 192, 104, 200);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

TEST_F(Text3D, PointInTheCameraPlaneDrawsNothingAndRestoresTheState) {
  scene.projection = Mat4{};
  CullAndLight();
  PrintText3D(Context(), 0, "A", 100, 200, 0, 0, 0);
  ExpectCullingAndLightingOn();
  EXPECT_EQ(LitInAndAround(0, 0, 200, 220).first, 0);
}

TEST_F(Text3D, SceneTextRunsAlongTheCameraAxesCentredOnItsPoint) {
  // The camera's up axis points down the window here, so the quads face away: culling must be
  // off while they draw, and unlit.
  CullAndLight();
  PrintText3D(Context(), 0, "AA", 200, 100, 0, 2, 0);
  ExpectCullingAndLightingOn();
  const auto [inside, outside] = LitInAndAround(184, 100, 216, 116);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(LitInAndAround(184, 100, 200, 116).first, 0);  // both characters are drawn
  EXPECT_GT(LitInAndAround(200, 100, 216, 116).first, 0);
}

TEST_F(Text3D, BillboardIsHalfTheSpriteSizeTimesScaleStandingOnItsPoint) {
  RgbaImage image{};
  ASSERT_TRUE(ResizeImage(image, 8, 8));
  for (int i = 0; i < 8 * 8 * 4; ++i) image.pixels[i] = 255;
  ASSERT_TRUE(CreateSpriteFromImage(Context(), kSprite, image, -1, false));
  ReleaseImage(image);
  DrawBillboard(Context(), kSprite, 300, 300, 0, 4);
  const auto [inside, outside] = LitInAndAround(292, 300, 308, 316);
  EXPECT_EQ(inside, 16 * 16);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(ReadBackPixel(Context(), 300, 308), (Rgba{255, 255, 255, 255}));
  DrawBillboard(Context(), kSpriteCount, 300, 300, 0, 4);  // outside the table: nothing
}

}  // namespace
