#include "gfx3d/camera_projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>


#include "frame/cycle_services.h"
#include "frame/screen_orientation.h"
#include "gfx3d/scene.h"
#include "gfx3d/shadow_pass.h"
#include "tests/support/gl_fixture.h"

namespace {

Mat4 GlMatrix(GLenum which) {
  Mat4 m;
  glGetFloatv(which, m.m);
  return m;
}

void ExpectMatrixNear(const Mat4& a, const Mat4& b, float tolerance) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

std::array<GLint, 4> GlViewport() {
  std::array<GLint, 4> v{};
  glGetIntegerv(GL_VIEWPORT, v.data());
  return v;
}

class Scene3D : public GlFixture {
 protected:
  void TearDown() override { scene_.reset(); }
  Rainbows3D& Scene() {
    if (!scene_) scene_ = std::make_unique<Rainbows3D>(&Context());
    return *scene_;
  }

 private:
  std::unique_ptr<Rainbows3D> scene_;
};

TEST_F(Scene3D, DefaultPerspectiveIsStoredAndLoaded) {
  Rainbows3D& scene = Scene();
  Begin3DScene(scene, 1, 1024, 45);
  const Mat4& p = scene.projection;
  EXPECT_NEAR(p.m[0], 1.810660, 1e-5);
  EXPECT_NEAR(p.m[5], 2.414214, 1e-5);
  EXPECT_NEAR(p.m[10], -1.001955, 1e-5);
  EXPECT_FLOAT_EQ(p.m[11], -1);
  EXPECT_NEAR(p.m[14], -2.001955, 1e-5);
  EXPECT_FLOAT_EQ(p.m[15], 0);
  EXPECT_NEAR(scene.viewFactor, 1.191754, 1e-5);
  ExpectMatrixNear(GlMatrix(GL_PROJECTION_MATRIX), p, 1e-6f);
  ExpectMatrixNear(GlMatrix(GL_MODELVIEW_MATRIX), IdentityMatrix(), 0.0f);
}

TEST_F(Scene3D, OrthographicForAFieldOfViewOfZeroOrBelow) {
  Rainbows3D& scene = Scene();
  Begin3DScene(scene, 1, 1024, -45);
  const float halfHeight = 41.42136f;
  EXPECT_NEAR(scene.projection.m[5], 1 / halfHeight, 1e-7);
  EXPECT_NEAR(scene.projection.m[0], 1 / (halfHeight * 4 / 3), 1e-7);
  EXPECT_FLOAT_EQ(scene.projection.m[15], 1);
  EXPECT_NEAR(scene.viewFactor, 57.2898, 1e-3);
}

TEST_F(Scene3D, EnteringSwitchesExactlyTheListedCapabilities) {
  Rainbows3D& scene = Scene();
  Context().clearDepth = 0;
  glEnable(GL_FOG);
  glEnable(GL_NORMALIZE);
  MarkGlStateUnknown();
  Begin3DScene(scene, 1, 100, 60);
  EXPECT_EQ(Context().clearDepth, 1);
  for (GLenum on : {GL_DEPTH_TEST, GL_DITHER}) EXPECT_TRUE(glIsEnabled(on)) << on;
  for (GLenum off : {GL_CULL_FACE, GL_FOG, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_POLYGON_SMOOTH,
                     GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL, GL_STENCIL_TEST, GL_NORMALIZE,
                     GL_LIGHTING}) {
    EXPECT_FALSE(glIsEnabled(off)) << off;  // culling ends off through cull mode 0
  }
  EXPECT_EQ(scene.cullMode, 0);
  EXPECT_EQ(scene.cameraUp.y, 1.0f);
  EXPECT_EQ(scene.target.z, -1.0f);
}

TEST_F(Scene3D, ViewportFollowsSubRectanglesAndOrientation) {
  OpenGLRainbows& ctx = Context();
  Rainbows3D& scene = Scene();
  SetViewport(ctx, 10, 20, 100, 50);
  Begin3DScene(scene, 1, 100, 45);
  EXPECT_EQ(GlViewport(), (std::array<GLint, 4>{10, 410, 100, 50}));
  EXPECT_NEAR(scene.projection.m[0] * 2, scene.projection.m[5], 1e-5);  // aspect 2

  ctx.orientation = 1;
  SetViewport(ctx, 0, 0, 0, 0);
  Begin3DScene(scene, 1, 100, 45);
  EXPECT_EQ(GlViewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
  EXPECT_NEAR(scene.projection.m[0] * 3 / 4, scene.projection.m[5], 1e-5);  // 480 x 640
  EXPECT_FLOAT_EQ(GlMatrix(GL_PROJECTION_MATRIX).m[1], -scene.projection.m[0]);
}

TEST_F(Scene3D, FrustumPlanesFollowProjectionAndCamera) {
  Rainbows3D& scene = Scene();
  Begin3DScene(scene, 1, 1024, 45);
  // At z = -10 the view reaches 10 tan(22.5) x 4 / 3 = 5.52 to each side.
  EXPECT_TRUE(SphereInFrustum(scene, 0, 0, -10, 0));
  EXPECT_TRUE(SphereInFrustum(scene, 5.4f, 0, -10, 0));
  EXPECT_FALSE(SphereInFrustum(scene, 6, 0, -10, 0));
  EXPECT_TRUE(SphereInFrustum(scene, 6, 0, -10, 1));
  EXPECT_FALSE(SphereInFrustum(scene, 0, 0, 10, 0));
  EXPECT_FALSE(SphereInFrustum(scene, 0, 0, -0.5f, 0.4f));
  EXPECT_TRUE(SphereInFrustum(scene, 0, 0, -0.5f, 0.6f));
  EXPECT_FALSE(SphereInFrustum(scene, 0, 0, -1100, 0));
  for (const float* plane : scene.frustumPlanes) {
    EXPECT_NEAR(Length({plane[0], plane[1], plane[2]}), 1.0f, 1e-6);
  }
  SetCameraLookAt(scene, {0, 0, 20}, {0, 0, 0});
  EXPECT_TRUE(SphereInFrustum(scene, 0, 0, 10, 0));
  ExpectMatrixNear(GlMatrix(GL_MODELVIEW_MATRIX), TranslationMatrix({0, 0, -20}), 1e-6f);
}

void DrawSquareAtDepth5() {
  glBegin(GL_QUADS);
  glVertex3f(-1, -1, -5);
  glVertex3f(1, -1, -5);
  glVertex3f(1, 1, -5);
  glVertex3f(-1, 1, -5);
  glEnd();
}

TEST_F(Scene3D, ShadowPassShadesOnlyTheMarkedSquareAndKeepsTheViewport) {
  OpenGLRainbows& ctx = Context();
  Rainbows3D& scene = Scene();
  scene.shadowColour = 0x0000FF;
  glClearColor(0.0f, 0.4f, 0.8f, 1.0f);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  SetViewport(ctx, 80, 60, 480, 360);
  Begin3DScene(scene, 1, 100, 45);
  const auto viewport = GlViewport();

  SetShadowPass(scene, 1);
  GLboolean colourWrites[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, colourWrites);
  EXPECT_FALSE(colourWrites[0]);
  SetShadowPass(scene, 1);  // already on: nothing changes
  DrawSquareAtDepth5();
  // Leaving through the frame cycle's hook, as ShowScreen does.
  Cycle().setShadowPass(ctx.scene, 0);
  EXPECT_EQ(scene.shadowPass, 0);

  const gltest::Rgba shaded = gltest::ReadBackPixel(ctx, 320, 240);
  EXPECT_NEAR(shaded[0], 128, 2);
  EXPECT_NEAR(shaded[1], 51, 2);
  EXPECT_NEAR(shaded[2], 102, 2);
  const gltest::Rgba outside = gltest::ReadBackPixel(ctx, 100, 80);
  EXPECT_NEAR(outside[0], 0, 2);
  EXPECT_NEAR(outside[1], 102, 2);
  EXPECT_NEAR(outside[2], 204, 2);

  EXPECT_EQ(GlViewport(), viewport);
  EXPECT_EQ(ctx.viewportX, 80);
  EXPECT_EQ(ctx.viewportWidth, 480);
  ExpectMatrixNear(GlMatrix(GL_PROJECTION_MATRIX), scene.projection, 1e-6f);
  GLint stencil = -1;
  glReadPixels(320, 240, 1, 1, GL_STENCIL_INDEX, GL_INT, &stencil);
  EXPECT_EQ(stencil, 0);

  // Leaving again shades nothing more.
  SetShadowPass(scene, 0);
  EXPECT_EQ(gltest::ReadBackPixel(ctx, 320, 240), shaded);
}

}  // namespace
