// Alpha masks and the pixel-exact collision tests.
#include "gfx2d/pixel_collision.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "frame/graphics_context.h"
#include "gfx2d/sprite_batch.h"

namespace {

constexpr size_t kSmallestMask = 64;

// Screen positions are 64-bit: a sprite may be placed anywhere in the int range and reach past it.

// A sprite as the mask lookup sees it, placed at (x, y).
struct PlacedMask {
  const uint8_t* mask;
  int64_t x, y;
  int32_t height, paddedWidth;

  bool Opaque(int64_t px, int64_t py) const {
    return mask[size_t(height - 1 - (py - y)) * paddedWidth + size_t(px - x)] != 0;
  }
};

// The part of a sprite's image that one frame covers.
struct FrameRect {
  int64_t x, y, width, height;
};

bool Drawn(const OpenGLRainbows& ctx, int32_t sprite) {
  return sprite >= 0 && sprite < kSpriteCount && ctx.sprites[sprite].width > 0 &&
         ctx.sprites[sprite].height > 0;
}

bool FrameOf(const SpriteRecord& record, int32_t frame, FrameRect& rect) {
  if (record.frameWidth == 0) {
    rect = {0, 0, record.width, record.height};
    return true;
  }
  if (frame < 0) return false;
  const int32_t perRow = std::max(record.width / record.frameWidth, 1);
  rect = {int64_t(frame % perRow) * record.frameWidth, int64_t(frame / perRow) * record.frameHeight,
          record.frameWidth, record.frameHeight};
  return rect.x + rect.width <= record.width && rect.y + rect.height <= record.height;
}

// The mask lookup indexes the record's padded size, so a texture smaller than that gets none.
uint8_t* ReadAlphaMask(const SpriteRecord& record) {
  FlushSpriteBatch();
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  glBindTexture(GL_TEXTURE_2D, record.texture);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  uint8_t* mask = nullptr;
  if (width >= record.paddedWidth && height >= record.paddedHeight) {
    mask = static_cast<uint8_t*>(std::calloc(std::max(size_t(width) * height, kSmallestMask), 1));
  }
  if (mask) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, mask);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
  }
  // The drawing code's idea of the bound texture stays true.
  glBindTexture(GL_TEXTURE_2D, GLuint(previous));
  return mask;
}

bool Overlap(int64_t ax, int64_t ay, int64_t aw, int64_t ah, int64_t bx, int64_t by, int64_t bw,
             int64_t bh, int64_t box[4]) {
  box[0] = std::max(ax, bx);
  box[1] = std::max(ay, by);
  box[2] = std::min(ax + aw, bx + bw);
  box[3] = std::min(ay + ah, by + bh);
  return box[0] <= box[2] && box[1] <= box[3];
}

}  // namespace

void CacheSpriteAlphaMask(OpenGLRainbows& ctx, int32_t sprite) {
  if (!Drawn(ctx, sprite) || ctx.alphaMasks[sprite]) return;
  ctx.alphaMasks[sprite] = ReadAlphaMask(ctx.sprites[sprite]);
}

bool PixelMaskCollision(OpenGLRainbows& ctx, int32_t a, int64_t ax, int64_t ay, int32_t b,
                        int64_t bx, int64_t by, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (x0 >= x1 || y0 >= y1) return false;
  if (!Drawn(ctx, a) || !Drawn(ctx, b)) return false;
  CacheSpriteAlphaMask(ctx, a);
  CacheSpriteAlphaMask(ctx, b);
  if (!ctx.alphaMasks[a] || !ctx.alphaMasks[b]) return false;
  const SpriteRecord& ra = ctx.sprites[a];
  const SpriteRecord& rb = ctx.sprites[b];
  const PlacedMask ma{ctx.alphaMasks[a], ax, ay, ra.height, ra.paddedWidth};
  const PlacedMask mb{ctx.alphaMasks[b], bx, by, rb.height, rb.paddedWidth};
  auto both = [&](int64_t x, int64_t y) { return ma.Opaque(x, y) && mb.Opaque(x, y); };
  // Centre first, then a coarse grid refined by parity: large overlaps are found in few tests.
  if (both(x0 + (x1 - x0) / 2, y0 + (y1 - y0) / 2)) return true;
  constexpr int32_t kPasses[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  for (const auto& pass : kPasses) {
    for (int64_t y = y0 + pass[1]; y < y1; y += 2) {
      for (int64_t x = x0 + pass[0]; x < x1; x += 2) {
        if (both(x, y)) return true;
      }
    }
  }
  return false;
}

bool SpriteCollision(OpenGLRainbows& ctx, int32_t a, int32_t b, int32_t ax, int32_t ay, int32_t bx,
                     int32_t by) {
  if (!Drawn(ctx, a) || !Drawn(ctx, b)) return false;
  const SpriteRecord& ra = ctx.sprites[a];
  const SpriteRecord& rb = ctx.sprites[b];
  int64_t box[4];
  if (!Overlap(ax, ay, ra.width, ra.height, bx, by, rb.width, rb.height, box)) return false;
  return PixelMaskCollision(ctx, a, ax, ay, b, bx, by, box[0], box[1], box[2], box[3]);
}

bool AnimCollision(OpenGLRainbows& ctx, int32_t a, int32_t frameA, int32_t ax, int32_t ay,
                   int32_t b, int32_t frameB, int32_t bx, int32_t by) {
  if (!Drawn(ctx, a) || !Drawn(ctx, b)) return false;
  FrameRect fa, fb;
  if (!FrameOf(ctx.sprites[a], frameA, fa) || !FrameOf(ctx.sprites[b], frameB, fb)) return false;
  int64_t box[4];
  if (!Overlap(ax, ay, fa.width, fa.height, bx, by, fb.width, fb.height, box)) return false;
  return PixelMaskCollision(ctx, a, ax - fa.x, ay - fa.y, b, bx - fb.x, by - fb.y, box[0], box[1],
                            box[2], box[3]);
}
