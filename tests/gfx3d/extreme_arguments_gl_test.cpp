// Every 2D and 3D command fed the extremes of its argument types: under the sanitizer build any
// overflow or out-of-range conversion ends the test.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "core/dim_array.h"
#include "frame/default_font.h"
#include "gfx2d/background_commands.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/pixel_array_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/hit_commands.h"
#include "gfx3d/light_commands.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/model_commands.h"
#include "gfx3d/scene_draw_commands.h"
#include "gfx3d/transform_commands.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/owned_str.h"
#include "tests/support/scene_commands_gl_fixture.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int32_t kSprite = 1, kObject = 1;

class ExtremeArguments : public SceneCommandsGlFixture {
 protected:
  void SetUp() override {
    SceneCommandsGlFixture::SetUp();
    ASSERT_TRUE(CreateDefaultFont(Context(), 0));
    DrawRect(0, 0, 16, 16, 0x00FFFFFF);
    ASSERT_EQ(GrabSpriteCmd(kSprite, 0, 0, 16, 16), 1);
    SetSpriteAnimSizeCmd(kSprite, 8, 8);
    ASSERT_EQ(BeginModel(kObject), 1);
    for (int f = 0; f < 2; ++f) {
      SetModelFrame(f);
      AddModelVertex(0, 0, 0, 0, 0, 0xFF);
      AddModelVertex(1, 0, 0, 1, 0, 0xFF);
      AddModelVertex(0, 1, 0, 0, 1, 0xFF);
    }
    ASSERT_EQ(EndModel(), 1);
  }
  void TearDown() override {
    UseScreenCmd(-1);
    SetOrientationCmd(0);
    SetBlendMode(0);
    SceneCommandsGlFixture::TearDown();
  }
};

// One command called with i for every int but the sprite or object number and d for every double.
struct Call {
  const char* name;
  std::function<void(int32_t i, double d)> run;
};

void Calls2D(int32_t i, double d) {
  const OwnedStr text("Extreme");
  DimArray pixels{};
  int32_t iw = 0, ih = 0;
  double dw = 0, dh = 0, dx = 0, dy = 0;
  const Call calls[] = {
      {"SetBlendMode", [](int32_t, double d) { SetBlendMode(d); }},
      {"SetAlphaTestCmd", [](int32_t, double d) { SetAlphaTestCmd(d); }},
      {"DrawLineCmd", [](int32_t i, double) { DrawLineCmd(i, i, ~i, i, i); }},
      {"DrawPointCmd", [](int32_t i, double) { DrawPointCmd(i, i, i); }},
      {"DrawRect", [](int32_t i, double) { DrawRect(i, i, i, i, 0xFF); }},
      {"DrawRect negative", [](int32_t i, double) { DrawRect(i, i, -1, kMin, 0xFF); }},
      {"GetPixel", [](int32_t i, double) { GetPixel(i, i); }},
      {"PolyVector", [](int32_t i, double d) {
         PolyStart(kSprite, 4);
         for (int k = 0; k < 3; ++k) PolyVector(d, d, d, d, i);
         PolyEnd();
       }},
      {"DrawAnimFrameCmd", [](int32_t i, double) { DrawAnimFrameCmd(kSprite, i, i, i); }},
      {"RotoZoomAnimFrameCmd",
       [](int32_t i, double d) { RotoZoomAnimFrameCmd(kSprite, i, i, i, d, d); }},
      {"StretchAnimFrameCmd", [](int32_t i, double) { StretchAnimFrameCmd(kSprite, i, i, i, i, i); }},
      {"DrawSpriteCmd", [](int32_t i, double) { DrawSpriteCmd(kSprite, i, i); }},
      {"StretchSpriteCmd", [](int32_t i, double) { StretchSpriteCmd(kSprite, i, i, i, i); }},
      {"RotoZoomSpriteCmd", [](int32_t i, double d) { RotoZoomSpriteCmd(kSprite, i, i, d, d); }},
      {"ZoomSpriteCmd", [](int32_t i, double d) { ZoomSpriteCmd(kSprite, i, i, d, d); }},
      {"ZoomSpriteCmd finite", [](int32_t i, double) { ZoomSpriteCmd(kSprite, i, i, 1e9, -1e9); }},
      {"SpriteCollisionCmd",
       [](int32_t i, double) { SpriteCollisionCmd(kSprite, i, i, kSprite, i, ~i); }},
      {"AnimCollisionCmd",
       [](int32_t i, double) { AnimCollisionCmd(kSprite, i, i, i, kSprite, ~i, i, i); }},
      {"PrintText", [&](int32_t i, double d) { PrintText(text.s, d, d, i); }},
      {"GetSpriteSizeF", [&](int32_t, double d) { GetSpriteSizeF(d, &dw, &dh); }},
      {"SetViewportCmd", [](int32_t i, double) { SetViewportCmd(i, i, i, i); }},
      {"SetViewportCmd turned", [](int32_t i, double) {
         SetOrientationCmd(1);
         SetViewportCmd(i, ~i, i, i);
         SetOrientationCmd(0);
       }},
      {"GetViewportF", [&](int32_t, double) { GetViewportF(&dx, &dy, &dw, &dh); }},
      {"CreateScreenCmd", [](int32_t i, double) { CreateScreenCmd(1, 2, i, i); }},
      {"SetFrameRateCmd", [](int32_t i, double d) { SetFrameRateCmd(d, i); }},
      {"ArrayToSpriteCmd", [&](int32_t i, double) { ArrayToSpriteCmd(pixels, 3, i, i); }},
      {"GrabSpriteCmd", [](int32_t i, double) { GrabSpriteCmd(4, i, i, 8, 8); }},
      {"GrabSpriteCmd sized", [](int32_t i, double) { GrabSpriteCmd(4, 0, 0, i, i); }},
      {"GetSpriteSizeI", [&](int32_t i, double) { GetSpriteSizeI(i, &iw, &ih); }},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    call.run(i, d);
  }
  SetViewportCmd(0, 0, 0, 0);
  ArrayRelease(pixels);
}

void Calls3D(int32_t i, double d) {
  const OwnedStr text("Extreme");
  DimArray data{};
  double sx = 0, sy = 0, sz = 0;
  const Call calls[] = {
      {"DrawObjectTween", [](int32_t i, double d) { DrawObjectTween(kObject, ~i, i, d, 1); }},
      {"DrawObjectTween still", [](int32_t i, double d) { DrawObjectTween(kObject, i, i, d, 0); }},
      {"DrawObject3D", [](int32_t i, double) { DrawObject3D(kObject, i); }},
      {"DrawBillboard3D", [](int32_t, double d) { DrawBillboard3D(kSprite, d, d, d, d); }},
      {"DrawLine3DCmd", [](int32_t i, double d) { DrawLine3DCmd(d, d, d, -d, d, d, d, i); }},
      {"DrawDot3DCmd", [](int32_t i, double d) { DrawDot3DCmd(d, d, d, d, i); }},
      {"DrawAxes3D", [](int32_t, double d) { DrawAxes3D(d, d, d); }},
      {"PrintText3DCmd", [&](int32_t i, double d) { PrintText3DCmd(text.s, d, d, d, d, i); }},
      {"PrintText3DCmd label", [&](int32_t i, double d) { PrintText3DCmd(text.s, d, d, d, 0, i); }},
      {"ObjectSphereHit", [](int32_t i, double d) { ObjectSphereHit(kObject, i, d, d, d, d); }},
      {"ObjectBoxHit", [](int32_t i, double d) { ObjectBoxHit(kObject, i, d, d, d, d, d, d); }},
      {"SphereBoxHit", [](int32_t, double d) { SphereBoxHit(d, d, d, d, d, d, d); }},
      {"ObjectRayHit", [](int32_t i, double d) { ObjectRayHit(kObject, i, 0, 0, d, d, d, -d); }},
      {"ProjectToScreen", [&](int32_t, double d) { ProjectToScreen(d, d, d, &sx, &sy, &sz); }},
      {"ScreenToWorld", [&](int32_t, double d) { ScreenToWorld(d, d, d, &sx, &sy, &sz); }},
      {"SetLight3D", [](int32_t i, double d) { SetLight3D(1, i, d, d, d, d, d, d, d); }},
      {"SetFog3D", [](int32_t i, double d) { SetFog3D(i, i, d, d); }},
      {"SetUvOffset3D", [](int32_t, double d) { SetUvOffset3D(d, d); }},
      {"SetCullMode", [](int32_t i, double) { SetCullMode(i); }},
      {"SetModelTexture", [](int32_t i, double) { SetModelTexture(i, i); }},
      {"ScaleObjectCmd", [](int32_t, double d) { ScaleObjectCmd(2, d, d, d); }},
      {"GetObjectData", [&](int32_t i, double) { GetObjectData(kObject, i, i, data); }},
      {"CountObjectTriangles", [](int32_t i, double) { CountObjectTriangles(i); }},
      {"SetCamera", [](int32_t, double d) { SetCamera(d, d, d, 0, 0, 0); }},
      {"SetCameraUpVector", [](int32_t, double d) { SetCameraUpVector(d, d, d); }},
      {"Transforms", [](int32_t, double d) {
         PushTransform();
         SetMovement(d, d, d);
         SetScaling(d, d, d);
         AddRotation(d, d, d, d);
         DrawObject3D(kObject, 0);
         PopTransform();
       }},
      {"BuildModel", [](int32_t i, double d) {
         if (BeginModel(2) != 1) return;
         SetModelNormal(d, d, d);
         for (int k = 0; k < 3; ++k) AddModelVertex(d, d, d, d, d, i);
         EndModel();
       }},
  };
  Begin3DMode(1, 100, 45);
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    call.run(i, d);
  }
  End3DMode();
  Begin3DMode(d, d, d);
  DrawObject3D(kObject, 0);
  End3DMode();
  ArrayRelease(data);
}

TEST_F(ExtremeArguments, EveryCommandTakesAnyIntAndAnyDouble) {
  for (int32_t i : {kMin, kMin + 1, -1, 0, 7, kMax - 1, kMax}) {
    for (double d : {kNaN, kInf, -kInf, 1e300, -1e300, 0.5}) {
      SCOPED_TRACE(testing::Message() << "int " << i << ", double " << d);
      Calls2D(i, d);
      Calls3D(i, d);
    }
  }
}

TEST_F(ExtremeArguments, OverlappingSpritesCollideAtTheEdgeOfTheIntRange) {
  for (int32_t at : {kMax - 8, kMin, kMin + 4}) {
    SCOPED_TRACE(at);
    EXPECT_EQ(SpriteCollisionCmd(kSprite, at, at, kSprite, at + 4, at + 4), 1);
    EXPECT_EQ(AnimCollisionCmd(kSprite, 0, at, at, kSprite, 0, at + 4, at + 4), 1);
  }
}

TEST_F(ExtremeArguments, NotANumberLeavesTheBlendModeAsItWas) {
  SetBlendMode(-0.5);
  SetBlendMode(kNaN);
  EXPECT_FLOAT_EQ(Context().drawAlpha, 0.5f);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint destination = 0;
  glGetIntegerv(GL_BLEND_DST, &destination);
  EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
}

// Characters past the first one of glyph 0 are not drawn, but the run still measures them all.
TEST_F(ExtremeArguments, TextRunsLongerThanAQuarterOfTheIntRangeDraw) {
  std::string longText(size_t(1) << 29, 'A');
  longText[1] = '\x80';
  const OwnedStr text(longText);
  longText.clear();
  longText.shrink_to_fit();
  PrintText(text.s, 0, 0, 0);
}

}  // namespace
