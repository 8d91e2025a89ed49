// Stand-in for the screen grab until the screen reads land: the copy path of orientation 0 only,
// straight from the window's frame into the sprite's texture.
#include <GL/gl.h>

#include <cstdlib>

#include "frame/graphics_context.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"

bool GrabSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t width,
                int32_t height) {
  if (sprite < 0 || sprite >= kSpriteCount) return false;
  SpriteRecord& record = ctx.sprites[sprite];
  record.frameWidth = record.frameHeight = 0;
  std::free(ctx.alphaMasks[sprite]);
  ctx.alphaMasks[sprite] = nullptr;
  if (width <= 0 || height <= 0) {
    FreeSprite(ctx, sprite);
    return true;
  }
  const int32_t paddedW = PaddedSize(width);
  const int32_t paddedH = PaddedSize(height);
  if (record.paddedWidth != paddedW || record.paddedHeight != paddedH || !record.texture) {
    FreeSprite(ctx, sprite);
    glGenTextures(1, &record.texture);
    glBindTexture(GL_TEXTURE_2D, record.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, paddedW, paddedH, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
  } else {
    glBindTexture(GL_TEXTURE_2D, record.texture);
  }
  DescribeSpritePicture(record, width, height);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, ctx.windowHeight - y - height, width, height);
  return true;
}
