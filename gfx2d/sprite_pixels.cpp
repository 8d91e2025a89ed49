// Sprite read-back and the sprite and screen savers.
#include "gfx2d/sprite_pixels.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "frame/graphics_context.h"
#include "gfx2d/framebuffer_objects.h"
#include "gfx2d/image_save.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/sprite_store.h"

namespace {

// GL reads rows bottom first; images hold them top first.
void FlipRows(RgbaImage& image) {
  const size_t stride = size_t(image.width) * 4;
  std::vector<uint8_t> row(stride);
  for (int32_t y = 0; y < image.height / 2; ++y) {
    uint8_t* top = image.pixels + size_t(y) * stride;
    uint8_t* bottom = image.pixels + size_t(image.height - 1 - y) * stride;
    std::memcpy(row.data(), top, stride);
    std::memcpy(top, bottom, stride);
    std::memcpy(bottom, row.data(), stride);
  }
}

bool ReadThroughFramebuffer(const SpriteRecord& record, RgbaImage& image) {
  FlushSpriteBatch();
  OffscreenScreen temporary;
  const bool read = CreateFramebuffer(temporary, record.paddedWidth, record.paddedHeight,
                                      record.texture, false) &&
                    BindFramebuffer(temporary);
  if (read) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels);
    UnbindFramebuffer(temporary);
  }
  DeleteFramebuffer(temporary);
  return read;
}

// Level 0 holds the picture in its lower-left corner, bottom row first, as the framebuffer does.
bool ReadFromTexture(const SpriteRecord& record, RgbaImage& image) {
  FlushSpriteBatch();
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  glBindTexture(GL_TEXTURE_2D, record.texture);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  const bool fits = record.texture && width >= image.width && height >= image.height;
  if (fits) {
    std::vector<uint8_t> level(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    for (int32_t y = 0; y < image.height; ++y) {
      std::memcpy(image.pixels + size_t(y) * image.width * 4, &level[size_t(y) * width * 4],
                  size_t(image.width) * 4);
    }
  }
  glBindTexture(GL_TEXTURE_2D, GLuint(previous));
  return fits;
}

}  // namespace

bool ReadPixelsToImage(OpenGLRainbows& ctx, int32_t sprite, RgbaImage& image) {
  if (sprite < 0 || sprite >= kSpriteCount) return false;
  const SpriteRecord& record = ctx.sprites[sprite];
  if (record.width <= 0 || record.height <= 0) return false;
  if (!ResizeImage(image, record.width, record.height)) return false;
  if (!ReadThroughFramebuffer(record, image) && !ReadFromTexture(record, image)) return false;
  FlipRows(image);
  return true;
}

bool SaveSprite(OpenGLRainbows& ctx, int32_t sprite, const char* fileName) {
  RgbaImage image;
  const bool saved = ReadPixelsToImage(ctx, sprite, image) && SaveImage(fileName, image);
  ReleaseImage(image);
  return saved;
}

bool SaveScreen(OpenGLRainbows& ctx, const char* fileName) {
  const int32_t sprite = FindFreeSprite(ctx);
  if (sprite < 0) return false;
  RgbaImage image;
  const bool read = GrabSprite(ctx, sprite, 0, 0, ctx.windowWidth, ctx.windowHeight) &&
                    ReadPixelsToImage(ctx, sprite, image);
  // The grab keys the transparent colour out when the framebuffer has no alpha; on the screen
  // those pixels showed.
  if (read) MakeOpaque(image.pixels, size_t(image.width) * size_t(image.height) * 4);
  const bool saved = read && SaveImage(fileName, image);
  ReleaseImage(image);
  FreeSprite(ctx, sprite);
  return saved;
}
