// The program's 3D commands drawing into the shared window, read back: the viewer's frame, the
// state entering and leaving 3D leaves, culling, debug lines, projections and screen reads.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "gfx2d/draw_commands.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "gfx3d/hit_commands.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/model_commands.h"
#include "gfx3d/scene_draw_commands.h"
#include "gfx3d/shadow_pass.h"
#include "gfx3d/transform_commands.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/object_drawing_fixture.h"
#include "tests/support/scene_commands_gl_fixture.h"
#include "tests/support/scene_objects.h"

namespace {

using gltest::ReadBackPixel;
using gltest::Rgba;

using drawtest::ExpectColour;
using drawtest::kBackground;

// A cube of side 2 h centred on the origin, one strip of four corners per face, as the tool
// emits its faces.
void BuildCube(int32_t object, float h, int32_t colour) {
  const float faces[6][4][3] = {{{-h, -h, h}, {h, -h, h}, {-h, h, h}, {h, h, h}},
                                {{h, -h, -h}, {-h, -h, -h}, {h, h, -h}, {-h, h, -h}},
                                {{h, -h, h}, {h, -h, -h}, {h, h, h}, {h, h, -h}},
                                {{-h, -h, -h}, {-h, -h, h}, {-h, h, -h}, {-h, h, h}},
                                {{-h, h, h}, {h, h, h}, {-h, h, -h}, {h, h, -h}},
                                {{-h, -h, -h}, {h, -h, -h}, {-h, -h, h}, {h, -h, h}}};
  ASSERT_EQ(BeginModel(object), 1);
  for (int f = 0; f < 6; ++f) {
    if (f > 0) NewModelStrip();
    for (const auto& p : faces[f]) AddModelVertex(p[0], p[1], p[2], 0, 0, colour);
  }
  ASSERT_EQ(EndModel(), 1);
}

class SceneCommandsGl : public SceneCommandsGlFixture {
 protected:
  void ClearWindow() {
    glClearColor(0x20 / 255.0f, 0x40 / 255.0f, 0x60 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  Rgba Centre() { return ReadBackPixel(Context(), 320, 240); }
  // Window pixel of a world point through the commands' own projection.
  Rgba At(double x, double y, double z) {
    double sx = 0, sy = 0, depth = 0;
    EXPECT_EQ(ProjectToScreen(x, y, z, &sx, &sy, &depth), 1);
    return ReadBackPixel(Context(), int(sx), int(sy));
  }

};

TEST_F(SceneCommandsGl, ViewerFrameDrawsTheCubeBuiltWithTheModelCommands) {
  BuildCube(1, 2, 0x0000C0FF);
  for (double angle : {0.0, 30.0, 135.0}) {
    SCOPED_TRACE(angle);
    ClearWindow();
    Begin3DMode(1, 1024, 45);
    SetCamera(0, 8, 24, 0, 8, 0);
    SetCullMode(1);
    SetModelTexture(21, -1);
    SetMovement(0, 8, -4);
    AddRotation(angle, 0, 1, 0);
    AddRotation(180, 0, 0, 1);
    DrawObject3D(1, 0);
    End3DMode();
    ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
    ExpectColour(ReadBackPixel(Context(), 20, 20), 0x20, 0x40, 0x60);
  }
}

TEST_F(SceneCommandsGl, ObjectDrawsReachLaterPixelReads) {
  BuildCube(1, 2, 0x0000C0FF);
  ClearWindow();
  EXPECT_EQ(static_cast<uint32_t>(GetPixel(320, 240)), kBackground);
  Begin3DMode(1, 1024, 45);
  SetCamera(0, 8, 24, 0, 8, 0);
  SetMovement(0, 8, 0);
  DrawObject3D(1, 0);
  EXPECT_EQ(static_cast<uint32_t>(GetPixel(320, 240)), 0x0000C0FFu);
}

TEST_F(SceneCommandsGl, SpritesHeldAroundAThreeDFrameLandAsLoneDrawsDo) {
  BuildCube(1, 2, 0x0000C0FF);
  constexpr int32_t kSprite = 30;
  ScopedImage image(24, 24, gltest::PatternPixels(24, 24));
  ASSERT_TRUE(CreateSpriteFromImage(Context(), kSprite, image.image, -1, false));
  auto frame = [&](bool held) {
    SetSpriteBatching(held);
    ClearWindow();
    for (int32_t i = 0; i < 40; ++i) DrawSpriteCmd(kSprite, 290 + i, 210 + i);
    Begin3DMode(1, 1024, 45);
    SetCamera(0, 8, 24, 0, 8, 0);
    SetMovement(0, 8, 0);
    DrawObject3D(1, 0);
    End3DMode();
    for (int32_t i = 0; i < 40; ++i) DrawSpriteCmd(kSprite, 270 + i, 200);
    return gltest::ReadRegion(Context(), 0, 0, 640, 480);
  };
  const std::vector<uint8_t> lone = frame(false);
  const std::vector<uint8_t> held = frame(true);
  FreeSprite(Context(), kSprite);
  EXPECT_TRUE(held == lone);
}

TEST_F(SceneCommandsGl, EnteringThreeDClearsTheFrameState) {
  Rainbows3D& scene = scope->scene;
  scene.lightMask = 5;
  scene.shadowLightOn = 1;
  SetModelTexture(3, 4);
  SetCullMode(1);
  Begin3DMode(1, 1024, 45);
  EXPECT_EQ(scene.lightMask, 0);
  EXPECT_EQ(scene.shadowLightOn, 0);
  EXPECT_EQ(SceneTextureChoice.unit0Sprite, -1);
  EXPECT_EQ(SceneTextureChoice.unit1Sprite, -1);
  EXPECT_EQ(Context().unit0Sprite, -1);
  EXPECT_EQ(KeptCullMode(), 0);
  EXPECT_EQ(scene.cullMode, 0);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  GLint texture = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  EXPECT_EQ(texture, 0);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

  SetShadowPass(scene, 1);
  End3DMode();
  EXPECT_EQ(scene.shadowPass, 0);
  EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SceneCommandsGl, CullModeFollowsTheSignAndBillboardsRestoreIt) {
  Begin3DMode(1, 1024, 45);
  for (auto [n, mode] : {std::pair{5, 1}, {-7, -1}, {0, 0}, {1, 1}}) {
    SetCullMode(n);
    EXPECT_EQ(scope->scene.cullMode, mode) << n;
    EXPECT_EQ(bool(glIsEnabled(GL_CULL_FACE)), mode != 0) << n;
  }
  DrawBillboard3D(0, 0, 0, -5, 1);
  EXPECT_EQ(scope->scene.cullMode, 1);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(SceneCommandsGl, LineWidthsAreHeldToTheDrawableRange) {
  ClearWindow();
  Begin3DMode(1, 1024, 45);
  while (glGetError() != GL_NO_ERROR) {
  }
  DrawLine3DCmd(-1, 0, -5, 1, 0, -5, 0, 0x0000FF);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "width 0 reaches GL as 1";
  ExpectColour(Centre(), 255, 0, 0);
  ExpectColour(ReadBackPixel(Context(), 320, 250), 0x20, 0x40, 0x60);

  DrawLine3DCmd(-1, 0, -5, 1, 0, -5, 1000, 0x00FF00);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  ExpectColour(ReadBackPixel(Context(), 320, 250), 0, 255, 0);
}

TEST_F(SceneCommandsGl, ProjectionRoundTripsThroughTheWindowRows) {
  Begin3DMode(1, 1024, 45);
  double sx = 0, sy = 0, depth = 0;
  ASSERT_EQ(ProjectToScreen(0, 0.5, -2, &sx, &sy, &depth), 1);
  EXPECT_NEAR(sy, 95.147, 1e-2) << "rows count from the top";

  // The window row is measured from the bottom's last row: one row up comes back exact.
  double x = 9, y = 9, z = 9;
  ASSERT_EQ(ScreenToWorld(sx, sy - 1, depth, &x, &y, &z), 1);
  EXPECT_NEAR(x, 0, 1e-3);
  EXPECT_NEAR(y, 0.5, 1e-3);
  EXPECT_NEAR(z, -2, 1e-3);
  EXPECT_EQ(ProjectToScreen(0, 0, 0, &sx, &sy, &depth), 0) << "a point in the camera plane";
}

TEST_F(SceneCommandsGl, RayDebugLineShowsWhereAndWhichSideItHit) {
  ObjectSlot& slot = scope->scene.objects[2];
  scenetest::AddPart(slot, {{0.5f, -1, -6}, {0.5f, 1, -6}, {0.5f, 0, -4}});
  ClearWindow();
  Begin3DMode(1, 1024, 45);
  DebugFlag = 1;
  EXPECT_NEAR(ObjectRayHit(2, 0, -1, 0, -5, 1, 0, 0), 1.5, 1e-5);
  ExpectColour(At(0, 0, -5), 0, 255, 0);
  ExpectColour(At(0.9, 0, -5), 0x20, 0x40, 0x60);  // the line stops at the hit

  ClearWindow();
  EXPECT_NEAR(ObjectRayHit(2, 0, -1, 0, -5, -1, 0, 0), -1.5, 1e-5);
  ExpectColour(At(0, 0, -5), 255, 255, 0);
}

}  // namespace
