// The blend modes over the state cache.
#include "gfx2d/blend_mode.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/sprite_batch.h"

void ApplyBlendMode(OpenGLRainbows& ctx, float a) {
  FlushSpriteBatch();
  // A reference of 1 or more means the alpha test is off; a plain copy would then show the
  // transparent texels, so mode 0 blends instead.
  if (a == 0.0f && ctx.alphaTestReference >= 1.0f) a = -1.0f;
  if (a == 0.0f) {
    CachedDisable(kCapBlend);
  } else {
    CachedEnable(kCapBlend);
    glBlendFunc(GL_SRC_ALPHA, a < 0.0f ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
  }
  ctx.drawAlpha = a == 0.0f ? 1.0f : std::min(std::fabs(a), 1.0f);
  CachedColour(1.0f, 1.0f, 1.0f, ctx.drawAlpha);
}
