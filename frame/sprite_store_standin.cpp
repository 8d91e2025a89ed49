// Stand-in for the 2D layer's sprite store and texture binding: enough to upload, bind and free
// the built-in font's sprite on texture unit 0. No mipmapped copies, normal maps or second unit.
#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "frame/gfx2d_standins.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"

void StandInBindSpriteTextures(OpenGLRainbows& ctx, int32_t spriteA, int32_t spriteB,
                               int32_t useMipmapped, const uint32_t* textureTable) {
  GlStateCache.boundSprite = spriteA;
  ctx.unit0Sprite = spriteA;
  ctx.unit1Sprite = spriteB;
  ctx.secondTextureFlag = useMipmapped != 0;
  if (spriteA < 0 || spriteA >= kSpriteCount) {
    glDisable(GL_TEXTURE_2D);
    return;
  }
  const SpriteRecord& record = ctx.sprites[spriteA];
  glBindTexture(GL_TEXTURE_2D, textureTable ? textureTable[spriteA]
                                            : useMipmapped ? record.mipmappedTexture
                                                           : record.texture);
  glEnable(GL_TEXTURE_2D);
}

namespace {

int32_t PaddedSize(int32_t size) {
  int32_t padded = 16;
  while (padded < size) padded *= 2;
  return padded;
}

}  // namespace

bool StandInUploadImageToTexture(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                                 int32_t height, uint32_t* texture, uint32_t*, bool, bool nearest) {
  if (width == 0) width = image.width - x;
  if (height == 0) height = image.height - y;
  if (width < 1 || height < 1 || !image.pixels) return false;
  const int32_t paddedW = PaddedSize(width);
  const int32_t paddedH = PaddedSize(height);
  // Rows go in bottom first, so the picture's top row ends at v = height / paddedH.
  std::vector<uint8_t> texels(size_t(paddedW) * paddedH * 4, 0);
  for (int32_t sy = std::max(y, 0); sy < std::min(y + height, image.height); ++sy) {
    const int32_t firstX = std::max(x, 0);
    const int32_t columns = std::min(x + width, image.width) - firstX;
    if (columns <= 0) break;
    std::memcpy(&texels[(size_t(y + height - 1 - sy) * paddedW + (firstX - x)) * 4],
                &image.pixels[(size_t(sy) * image.width + firstX) * 4], size_t(columns) * 4);
  }
  if (*texture == 0) glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  const GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, paddedW, paddedH, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               texels.data());
  return true;
}

void StandInFreeSprite(OpenGLRainbows& ctx, int32_t sprite) {
  if (sprite < 0 || sprite >= kSpriteCount) return;
  SpriteRecord& record = ctx.sprites[sprite];
  if (record.texture == 0 && record.mipmappedTexture == 0 && record.width == 0) return;
  if (record.texture) glDeleteTextures(1, &record.texture);
  if (record.mipmappedTexture) glDeleteTextures(1, &record.mipmappedTexture);
  record = SpriteRecord{0, 0, 1.0f, 1.0f, -1, -1, 0, 0, record.frameWidth, record.frameHeight};
}
