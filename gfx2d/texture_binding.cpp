// Texture binding, sprite filtering and the alpha test.
#include "gfx2d/texture_binding.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/sprite_batch.h"

namespace {

uint32_t SpriteTexture(const OpenGLRainbows& ctx, int32_t sprite, int32_t useMipmapped,
                       const uint32_t* textureTable) {
  if (textureTable) return textureTable[sprite];
  if (sprite >= kSpriteCount) return 0;
  const SpriteRecord& record = ctx.sprites[sprite];
  return useMipmapped ? record.mipmappedTexture : record.texture;
}

void BindTexture(uint32_t texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnable(GL_TEXTURE_2D);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace

void BindSpriteTextures(OpenGLRainbows& ctx, int32_t spriteA, int32_t spriteB, int32_t useMipmapped,
                        const uint32_t* textureTable) {
  FlushSpriteBatch();
  GlStateCache.boundSprite = spriteA;
  ctx.unit0Sprite = spriteA;
  ctx.unit1Sprite = spriteB;
  ctx.secondTextureFlag = useMipmapped != 0;
  auto texture = [&](int32_t sprite) {
    return SpriteTexture(ctx, sprite, useMipmapped, textureTable);
  };
  // Texturing is switched per unit here, which one cache word cannot follow.
  GlStateCache.enabled[kCapTexture2D] = kGlStateUnknown;
  if (!GlExtensionTable.glActiveTextureARB) {
    if (spriteA < 0) {
      glDisable(GL_TEXTURE_2D);
      CachedEnable(kCapColorMaterial);
    } else {
      BindTexture(texture(spriteA));
    }
    return;
  }
  GlExtensionTable.glActiveTextureARB(GL_TEXTURE1_ARB);
  if (spriteA >= 0 && spriteB >= 0) {
    BindTexture(texture(spriteA));
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  GlExtensionTable.glActiveTextureARB(GL_TEXTURE0_ARB);
  if (spriteA < 0) {
    glDisable(GL_TEXTURE_2D);
  } else {
    BindTexture(texture(spriteB < 0 ? spriteA : spriteB));
  }
}

void SetSpriteSmoothing(OpenGLRainbows& ctx, int32_t smoothing) {
  ctx.spriteSmoothing = smoothing;
}

void ApplySpriteFilter(const OpenGLRainbows& ctx) {
  FlushSpriteBatch();
  const GLint filter = ctx.spriteSmoothing ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void SetAlphaTest(OpenGLRainbows& ctx, float reference) {
  FlushSpriteBatch();
  if (reference < 1.0f) {
    CachedEnable(kCapAlphaTest);
    glAlphaFunc(GL_GREATER, reference);
    ctx.alphaTestReference = reference;
  } else {
    CachedDisable(kCapAlphaTest);
    ctx.alphaTestReference = 1.0f;
  }
}
