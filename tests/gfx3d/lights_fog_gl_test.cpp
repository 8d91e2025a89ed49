// Light, fog and shadow-light settings, debug shapes, and the 2D state a 3D draw leaves behind.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "frame/render_state.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/debug_drawing.h"
#include "gfx3d/lights_fog.h"
#include "gfx3d/model_building.h"
#include "gfx3d/object_drawing.h"
#include "gfx3d/scene.h"
#include "gfx3d/shadow_pass.h"
#include "gfx3d/transforms.h"
#include "tests/support/gl_fixture.h"

namespace {

using gltest::ReadBackPixel;

void ExpectLight(GLenum light, GLenum name, std::array<float, 4> expected) {
  std::array<GLfloat, 4> value{};
  glGetLightfv(light, name, value.data());
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(value[i], expected[i], 1e-6) << name << " " << i;
}

class LightsGl : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    scene = new Rainbows3D(&Context());
    Begin3DScene(*scene, 2, 500, 45);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void TearDown() override {
    for (int i = 0; i < 8; ++i) SetLight(*scene, i, 0, {}, {}, 0, false);
    SetFog(*scene, 0xFFFFFFFF, 0, 0, 0);
    delete scene;
  }
  Rainbows3D* scene = nullptr;
};

TEST_F(LightsGl, LightNumberWrapsAndCutoffZeroSwitchesOff) {
  SetLight(*scene, 9, 0x0000FF, {1, 2, 3}, {}, 120, false);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_EQ(scene->lightMask, 2);
  ExpectLight(GL_LIGHT1, GL_POSITION, {1, 2, 3, 1});
  ExpectLight(GL_LIGHT1, GL_DIFFUSE, {1, 0, 0, 1});
  ExpectLight(GL_LIGHT1, GL_SPECULAR, {1, 0, 0, 1});
  SetLight(*scene, 1, 0x0000FF, {1, 2, 3}, {4, 5, 6}, 0, true);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_EQ(scene->lightMask, 0);
}

TEST_F(LightsGl, PositionAndDirectionCases) {
  SetLight(*scene, 0, 0xFFFFFF, {}, {}, 45, false);
  ExpectLight(GL_LIGHT0, GL_POSITION, {0, 0, 1, 0});
  ExpectLight(GL_LIGHT0, GL_SPECULAR, {0, 0, 0, 1});
  SetLight(*scene, 2, 0xFFFFFF, {5, 5, 5}, {0, -2, 0}, 180, false);
  ExpectLight(GL_LIGHT2, GL_POSITION, {0, 1, 0, 0});
  ExpectLight(GL_LIGHT2, GL_SPECULAR, {0, 0, 0, 1});
  SetLight(*scene, 3, 0xFFFFFF, {5, 6, 7}, {0, 0, -3}, 30, false);
  ExpectLight(GL_LIGHT3, GL_POSITION, {5, 6, 7, 1});
  GLfloat spot[3] = {};
  glGetLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, spot);
  EXPECT_FLOAT_EQ(spot[2], -1);
  GLfloat cutoff = 0;
  glGetLightfv(GL_LIGHT3, GL_SPOT_CUTOFF, &cutoff);
  EXPECT_FLOAT_EQ(cutoff, 30);
}

TEST_F(LightsGl, ShadowLightModesAndThePass) {
  SetLight(*scene, -3, 0x00FF00, {1, 2, 3}, {}, 1, false);
  EXPECT_EQ(scene->shadowMode, kShadowStencil);
  EXPECT_EQ(scene->shadowPass, 1);
  EXPECT_EQ(scene->shadowColour, 0x00FF00u);
  SetLight(*scene, -3, 0x0000FF, {9, 9, 9}, {}, 0, false);
  EXPECT_EQ(scene->shadowPass, 0);
  EXPECT_EQ(scene->shadowLightOn, 0);
  EXPECT_EQ(scene->shadowColour, 0x00FF00u);  // kept while off
  SetLight(*scene, -1, 0, {}, {}, 1, false);
  EXPECT_EQ(scene->shadowMode, kShadowDot3);
  SetLight(*scene, -7, 0, {}, {}, 1, false);
  EXPECT_EQ(scene->shadowMode, kShadowCel);
}

TEST_F(LightsGl, LinearFogWithoutDistancesUsesTheClipPlanes) {
  SetFog(*scene, 0x000080, 0, 0, 0);
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  GLfloat start = 0, end = 0;
  glGetFloatv(GL_FOG_START, &start);
  glGetFloatv(GL_FOG_END, &end);
  EXPECT_FLOAT_EQ(start, 2);
  EXPECT_FLOAT_EQ(end, 500);
  SetFog(*scene, 0x000080, 1, 0.25f, 0);
  GLint mode = 0;
  glGetIntegerv(GL_FOG_MODE, &mode);
  EXPECT_EQ(mode, GL_EXP);
  SetFog(*scene, 0xFFFFFFFF, 0, 0, 0);
  EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(LightsGl, DebugShapesLeaveTheLightsAsTheyWere) {
  for (bool lit : {false, true}) {
    SCOPED_TRACE(lit);
    SetLight(*scene, 0, 0xFFFFFF, {}, {}, lit ? 45.0f : 0.0f, false);
    DrawDot3D(*scene, {0, 0, -10}, 0x0000FF, 8);
    DrawLine3D(*scene, {0, 0, -10}, {1, 1, -10}, 0x0000FF, 3);
    DrawWireSphere(*scene, {0, 0, -10}, 2, 0x00FF00, 1);
    DrawWireBox(*scene, {0, 0, -10}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0xFF0000, 1);
    DrawAxesMarker(*scene, 0, 0, -10);
    SetLight(*scene, 0, 0xFFFFFF, {1, 1, 1}, {}, 120, true);  // with its debug dot
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    SetLight(*scene, 0, 0xFFFFFF, {}, {}, lit ? 45.0f : 0.0f, false);
    EXPECT_EQ(bool(glIsEnabled(GL_LIGHTING)), lit);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
  }
}

TEST_F(LightsGl, AxesMarkerIgnoresTheEntityTransform) {
  SetCameraLookAt(*scene, {0, 0, 100}, {0, 0, 0});
  auto drawn = [&](Vec3 move) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetMovement(*scene, move.x, move.y, move.z);
    MultEntityMatrix(*scene);
    DrawAxesMarker(*scene, 0, 0, 0);
    // The green arrow's shaft, 10 units up.
    int green = 0;
    for (int x = 316; x <= 323; ++x) {
      green = std::max(green, int(ReadBackPixel(Context(), x, 180)[1]));
    }
    return green;
  };
  const int plain = drawn({});
  EXPECT_GT(plain, 100);
  EXPECT_EQ(drawn({30, 0, 0}), plain);
}

TEST_F(LightsGl, TwoDSpriteStillExactAfterA3DDraw) {
  OpenGLRainbows& ctx = Context();
  testing::internal::CaptureStdout();
  ObjectStart(*scene, 1, 0);
  for (Vec3 p : {Vec3{-1, -1, -5}, Vec3{-1, 1, -5}, Vec3{1, -1, -5}}) {
    ObjectAddVertex(*scene, p.x, p.y, p.z, 0, 0, 0x0000FF);
  }
  ASSERT_TRUE(ObjectEnd(*scene));
  testing::internal::GetCapturedStdout();
  SetLight(*scene, -2, 0xFFFFFF, {0, 0, 10}, {}, 1, false);
  ApplyCullMode(*scene, 1);
  DrawObject3D(*scene, 1, 0);
  SetLight(*scene, -2, 0xFFFFFF, {}, {}, 0, false);
  DrawObject(*scene, 1, 0, 0, 0, 0);

  RgbaImage image{};
  ASSERT_TRUE(ResizeImage(image, 4, 4));
  for (int i = 0; i < 16; ++i) {
    const uint8_t texel[4] = {uint8_t(16 * i), uint8_t(255 - 16 * i), 77, 255};
    std::memcpy(image.pixels + 4 * i, texel, 4);
  }
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 7, image, -1, false));
  ReleaseImage(image);
  ResetRenderState(ctx);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawSprite(ctx, 7, 100, 100);
  for (int i = 0; i < 16; ++i) {
    const auto pixel = ReadBackPixel(ctx, 100 + i % 4, 100 + i / 4);
    EXPECT_EQ(pixel[0], 16 * i);
    EXPECT_EQ(pixel[1], 255 - 16 * i);
    EXPECT_EQ(pixel[2], 77);
  }
}

}  // namespace
