// The tool viewer's frame for GL tests of drawn objects: a scene on the shared context, boxes
// built with the model builder, and pixels read back where world points land on the window.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include "frame/gl_extensions.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"
#include "gfx3d/screen_projection.h"
#include "gfx3d/shadow_pass.h"
#include "gfx3d/transforms.h"
#include "tests/support/gl_fixture.h"

namespace drawtest {

using gltest::ReadBackPixel;
using gltest::Rgba;

inline constexpr uint32_t kBackground = 0x00604020;  // r 0x20, g 0x40, b 0x60

inline void ExpectColour(Rgba pixel, int r, int g, int b, int tolerance = 2) {
  EXPECT_NEAR(pixel[0], r, tolerance);
  EXPECT_NEAR(pixel[1], g, tolerance);
  EXPECT_NEAR(pixel[2], b, tolerance);
}

// A box from lo to hi, every face wound clockwise seen from outside, in one colour.
inline void AddBoxVertices(Rainbows3D& scene, Vec3 lo, Vec3 hi, uint32_t colour) {
  const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, hi.y, lo.z},
                     {hi.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                     {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}};
  // Counter-clockwise from outside, reversed below.
  const int faces[6][4] = {{4, 5, 7, 6}, {1, 0, 2, 3}, {5, 1, 3, 7},
                           {0, 4, 6, 2}, {6, 7, 3, 2}, {0, 1, 5, 4}};
  for (const auto& f : faces) {
    for (int k : {f[0], f[2], f[1], f[0], f[3], f[2]}) {
      ObjectAddVertex(scene, c[k].x, c[k].y, c[k].z, 0, 0, colour);
    }
  }
}

inline void BuildBox(Rainbows3D& scene, int object, Vec3 lo, Vec3 hi, uint32_t colour) {
  ObjectStart(scene, object, 0);
  AddBoxVertices(scene, lo, hi, colour);
  ASSERT_TRUE(ObjectEnd(scene));
}

}  // namespace drawtest

class ObjectDrawingGl : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    saved = GlExtensionTable;
    scene = new Rainbows3D(&Context());
    testing::internal::CaptureStdout();  // the model builder reports every vertex
  }
  void TearDown() override {
    testing::internal::GetCapturedStdout();
    GlExtensionTable = saved;
    delete scene;
  }
  // The tool viewer's frame: camera at (0, 8, 24) looking at (0, 8, 0), the object moved to
  // (0, 8, 0).
  void BeginViewerFrame(int cullMode = 0) {
    ClearWindow();
    EndShadowsClearDepth(*scene);
    Begin3DScene(*scene, 1, 1024, 45);
    SetCameraLookAt(*scene, {0, 8, 24}, {0, 8, 0});
    ApplyCullMode(*scene, cullMode);
    SetMovement(*scene, 0, 8, 0);
  }
  void ClearWindow() {
    glClearColor(0x20 / 255.0f, 0x40 / 255.0f, 0x60 / 255.0f, 1);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  gltest::Rgba Centre() { return gltest::ReadBackPixel(Context(), 320, 240); }
  gltest::Rgba At(Vec3 world) {
    const int32_t viewport[4] = {0, 0, Context().windowWidth, Context().windowHeight};
    Vec3 window;
    EXPECT_TRUE(ProjectPoint(world, &window, viewport, scene->projection, scene->camera));
    return gltest::ReadBackPixel(Context(), int(window.x), int(window.y));
  }
  void ExpectArraysLeftForTwoD() {
    GLint buffer = -1, unit = -1, clientUnit = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientUnit);
    EXPECT_EQ(buffer, 0);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_EQ(clientUnit, GL_TEXTURE0);
  }

  GlExtensionSlots saved{};
  Rainbows3D* scene = nullptr;
};
