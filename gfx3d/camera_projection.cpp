// Projection, camera and the 3D render state.
#include "gfx3d/camera_projection.h"

#include <GL/gl.h>

#include <cmath>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "frame/screen_orientation.h"
#include "gfx2d/texture_binding.h"
#include "gfx3d/scene.h"
#include "gfx3d/shadow_pass.h"
#include "gfx3d/transforms.h"

void SetCameraUp(Rainbows3D& scene, float x, float y, float z) {
  scene.cameraUp = {x, y, z};
}

void LookAtMatrix(Rainbows3D& scene, Vec3 eye, Vec3 target) {
  scene.camera = LookAt(eye, target, scene.cameraUp);
  glLoadMatrixf(scene.camera.m);
}

void SetCameraLookAt(Rainbows3D& scene, Vec3 eye, Vec3 target) {
  scene.eye = eye;
  scene.target = target;
  LookAtMatrix(scene, eye, target);
  ResetTransformStack(scene);
  ComputeFrustumPlanes(scene);
}

void SetTextureOffset3D(Rainbows3D& scene, float u, float v) {
  scene.textureOffset[0] = u;
  scene.textureOffset[1] = v;
}

void ComputeFrustumPlanes(Rainbows3D& scene) {
  const Mat4 clip = scene.projection * scene.camera;
  // Row 3 plus or minus row `row`, in the plane order right, left, bottom, top, far, near.
  static const struct {
    int row;
    float sign;
  } kPlanes[6] = {{0, -1}, {0, 1}, {1, 1}, {1, -1}, {2, -1}, {2, 1}};
  for (int p = 0; p < 6; ++p) {
    float* plane = scene.frustumPlanes[p];
    for (int c = 0; c < 4; ++c) plane[c] = clip.at(3, c) + kPlanes[p].sign * clip.at(kPlanes[p].row, c);
    const float length = Length({plane[0], plane[1], plane[2]});
    for (int c = 0; c < 4; ++c) plane[c] /= length;
  }
}

bool SphereInFrustum(const Rainbows3D& scene, float x, float y, float z, float radius) {
  for (const float* plane : scene.frustumPlanes) {
    if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < -radius) return false;
  }
  return true;
}

void MakeFrustumMatrix(float l, float r, float b, float t, float n, float f, Mat4& out) {
  out = FrustumMatrix(l, r, b, t, n, f);
  glMultMatrixf(out.m);
}

void MakeOrthoMatrix(float l, float r, float b, float t, float n, float f, Mat4& out) {
  out = OrthoMatrix(l, r, b, t, n, f);
  glMultMatrixf(out.m);
}

void ApplyCullMode(Rainbows3D& scene, int32_t mode) {
  scene.cullMode = int8_t(mode);
  if (mode == 0) {
    CachedDisable(kCapCullFace);
  } else if (mode == 1) {
    glFrontFace(GL_CW);
    CachedEnable(kCapCullFace);
  } else if (mode == -1) {
    CachedEnable(kCapCullFace);
    glFrontFace(GL_CCW);
  }
}

void SetDepthTest(bool on) {
  if (on) {
    CachedEnable(kCapDepthTest);
    glDepthFunc(GL_LESS);
  } else {
    CachedDisable(kCapDepthTest);
  }
}

namespace {

void SetProjectionViewport(const OpenGLRainbows& ctx) {
  const int32_t x = ctx.viewportX, y = ctx.viewportY;
  const int32_t w = ctx.viewportWidth, h = ctx.viewportHeight;
  if (ctx.currentScreen >= 0) {
    glViewport(x, ctx.windowHeight - y - h, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    return;
  }
  LoadOrientationProjection(ctx);
  int32_t rect[4];
  WindowViewportRect(ctx, x, y, w, h, rect);
  glViewport(rect[0], rect[1], rect[2], rect[3]);
}

// tan of (fov + 5) degrees, held at 89 degrees; 89 degrees for any orthographic view.
float ViewFactor(float fov) {
  const float widest = 1.553343f;
  if (fov <= 0.0f || fov + 5.0f > 89.0f) return std::tan(widest);
  return std::tan((fov + 5.0f) * kDegreesToRadians);
}

void LoadProjection(Rainbows3D& scene, float aspect, float fov) {
  const float n = scene.nearClip, f = scene.farClip;
  if (fov > 0.0f) {
    const float h = std::tan(fov * float(M_PI) / 360.0f) * n;
    MakeFrustumMatrix(-aspect * h, aspect * h, -h, h, n, f, scene.projection);
  } else {
    const float h = std::tan(-fov * float(M_PI) / 360.0f) * n * 100.0f;
    MakeOrthoMatrix(-aspect * h, aspect * h, -h, h, n, f, scene.projection);
  }
  scene.viewFactor = ViewFactor(fov);
}

void Set3DCapabilities() {
  for (GlCapability on : {kCapCullFace, kCapDepthTest, kCapDither}) CachedEnable(on);
  for (GlCapability off : {kCapFog, kCapLineSmooth, kCapPointSmooth, kCapPolygonSmooth,
                           kCapPolygonOffsetPoint, kCapAutoNormal, kCapStencilTest,
                           kCapNormalize, kCapLighting}) {
    CachedDisable(off);
  }
}

}  // namespace

void Begin3DScene(Rainbows3D& scene, float nearClip, float farClip, float fov) {
  if (!scene.context) return;
  OpenGLRainbows& ctx = *scene.context;
  ctx.clearDepth = 1;
  SetShadowPass(scene, 0);
  scene.cameraUp = {0, 1, 0};
  scene.nearClip = nearClip;
  scene.farClip = farClip;
  const float aspect = float(ctx.viewportWidth) / float(ctx.viewportHeight);
  SetProjectionViewport(ctx);
  LoadProjection(scene, aspect, fov);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  Set3DCapabilities();
  scene.sphereMapping = 0;
  scene.shadowLightOn = 0;
  ResetTransformStack(scene);
  ApplyCullMode(scene, 0);
  SetTextureOffset3D(scene, 0, 0);
  BindSpriteTextures(ctx, -1, -1, 0, nullptr);
  scene.eye = {0, 0, 0};
  scene.target = {0, 0, -1};
  LookAtMatrix(scene, scene.eye, scene.target);
  ResetTransformStack(scene);
  ComputeFrustumPlanes(scene);
}
