// Entering and leaving the stencil shadow pass. The frame cycle leaves it at every ShowScreen
// through its hook table, installed here.
#include "gfx3d/shadow_pass.h"

#include <GL/gl.h>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/primitives.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/scene.h"

namespace {

void EnterShadowPass() {
  glShadeModel(GL_FLAT);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  CachedEnable(kCapStencilTest);
  glDepthMask(GL_FALSE);
  glStencilFunc(GL_ALWAYS, 0, 0);
  glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
}

void PushBothMatrices() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
}

void PopBothMatrices() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

// The 2D render state resets the viewport to the whole window; a 3D frame drawn into a part of
// the window or into an off-screen screen must get its own back.
struct SavedViewport {
  GLint gl[4];
  int32_t x, y, w, h;
};

SavedViewport SaveViewport(const OpenGLRainbows& ctx) {
  SavedViewport saved{{}, ctx.viewportX, ctx.viewportY, ctx.viewportWidth, ctx.viewportHeight};
  glGetIntegerv(GL_VIEWPORT, saved.gl);
  return saved;
}

void RestoreViewport(OpenGLRainbows& ctx, const SavedViewport& saved) {
  glViewport(saved.gl[0], saved.gl[1], saved.gl[2], saved.gl[3]);
  ctx.viewportX = saved.x;
  ctx.viewportY = saved.y;
  ctx.viewportWidth = saved.w;
  ctx.viewportHeight = saved.h;
}

void ShadeMarkedPixels(OpenGLRainbows& ctx, uint32_t shadowColour) {
  ResetRenderState(ctx);
  CachedEnable(kCapBlend);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ctx.drawAlpha = 0.5f;
  CachedColour(1.0f, 1.0f, 1.0f, 0.5f);
  CachedEnable(kCapStencilTest);
  glStencilFunc(GL_NOTEQUAL, 0, ~0u);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  FillRect(ctx, 0, 0, ctx.viewportWidth, ctx.viewportHeight, shadowColour);
}

void RestoreDefaultBlend(OpenGLRainbows& ctx) {
  if (ctx.alphaTestReference >= 1.0f) {
    CachedEnable(kCapBlend);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    CachedDisable(kCapBlend);
  }
  ctx.drawAlpha = 1.0f;
  CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
}

void LeaveShadowPass(Rainbows3D& scene) {
  glCullFace(GL_BACK);
  glDepthMask(GL_TRUE);
  glDepthFunc(GL_LEQUAL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (scene.context) {
    OpenGLRainbows& ctx = *scene.context;
    const SavedViewport viewport = SaveViewport(ctx);
    PushBothMatrices();
    ShadeMarkedPixels(ctx, scene.shadowColour);
    RestoreDefaultBlend(ctx);
    PopBothMatrices();
    RestoreViewport(ctx, viewport);
  }
  glShadeModel(GL_SMOOTH);
  CachedEnable(kCapDepthTest);
  glDepthFunc(GL_LESS);
  CachedDisable(kCapStencilTest);
  glClear(GL_STENCIL_BUFFER_BIT);
  glCullFace(GL_BACK);
  CachedEnable(kCapCullFace);
  ApplyCullMode(scene, scene.cullMode);
}

}  // namespace

void SetShadowPass(Rainbows3D& scene, int32_t on) {
  const uint8_t state = on != 0 ? 1 : 0;
  if (scene.shadowPass == state) return;
  scene.shadowPass = state;
  if (state) {
    EnterShadowPass();
  } else {
    LeaveShadowPass(scene);
  }
}

void EndShadowsClearDepth(Rainbows3D& scene) {
  SetShadowPass(scene, 0);
  glClear(GL_DEPTH_BUFFER_BIT);
}
