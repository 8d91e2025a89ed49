// Sprite drawing and collision commands over the sprite drawing and the pixel-exact collision.
#include "gfx2d/sprite_draw_commands.h"

#include "core/maths.h"
#include "frame/graphics_context.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/pixel_collision.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_store.h"

namespace {

// The new edge of a side that grows from size to grown about its centre.
int32_t GrownEdge(int32_t edge, int32_t size, double grown) {
  return SaturateToInt(int64_t(edge) - CountFromDouble(grown - size) / 2);
}

}  // namespace

void SetSpriteAnimSizeCmd(int32_t sprite, int32_t frameWidth, int32_t frameHeight) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx || ctx->sprites[sprite].width <= 0) return;
  SetSpriteAnimSize(*ctx, sprite, static_cast<uint16_t>(frameWidth),
                    static_cast<uint16_t>(frameHeight));
}

void LoadAnimCmd(const Str& name, int32_t sprite, int32_t frameWidth, int32_t frameHeight) {
  LoadSprite(name, sprite);
  SetSpriteAnimSizeCmd(sprite, frameWidth, frameHeight);
}

void DrawAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) DrawAnimFrame(*ctx, sprite, frame, x, y);
}

void RotoZoomAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y, double angle,
                          double zoom) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) {
    RotoZoomAnimFrame(*ctx, sprite, frame, x, y, static_cast<float>(angle),
                      static_cast<float>(zoom));
  }
}

void StretchAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y, int32_t w,
                         int32_t h) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite))
    StretchAnimFrame(*ctx, sprite, frame, x, y, w, h);
}

void DrawSpriteCmd(int32_t sprite, int32_t x, int32_t y) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) DrawSprite(*ctx, sprite, x, y);
}

void StretchSpriteCmd(int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) StretchSprite(*ctx, sprite, x, y, w, h);
}

void RotateSpriteCmd(int32_t sprite, int32_t x, int32_t y, double angle) {
  RotoZoomSpriteCmd(sprite, x, y, angle, 1.0);
}

void RotoZoomSpriteCmd(int32_t sprite, int32_t x, int32_t y, double angle, double zoom) {
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) {
    RotoZoomSprite(*ctx, sprite, x, y, static_cast<float>(angle), static_cast<float>(zoom));
  }
}

void ZoomSpriteCmd(int32_t sprite, int32_t x, int32_t y, double sx, double sy) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx) return;
  int32_t w, h;
  GetSpriteSize(*ctx, sprite, &w, &h);
  const double grownW = sx * w, grownH = sy * h;
  StretchSprite(*ctx, sprite, GrownEdge(x, w, grownW), GrownEdge(y, h, grownH),
                CountFromDouble(grownW), CountFromDouble(grownH));
}

int32_t SpriteCollisionCmd(int32_t a, int32_t ax, int32_t ay, int32_t b, int32_t bx, int32_t by) {
  OpenGLRainbows* ctx = ContextForSprite(a);
  if (!ctx || !IsSpriteId(b)) return 0;
  return SpriteCollision(*ctx, a, b, ax, ay, bx, by) ? 1 : 0;
}

int32_t AnimCollisionCmd(int32_t a, int32_t frameA, int32_t ax, int32_t ay, int32_t b,
                         int32_t frameB, int32_t bx, int32_t by) {
  OpenGLRainbows* ctx = ContextForSprite(a);
  if (!ctx || !IsSpriteId(b)) return 0;
  return AnimCollision(*ctx, a, frameA, ax, ay, b, frameB, bx, by) ? 1 : 0;
}
