// Sprite and animation-frame drawing.
#include "gfx2d/sprite_drawing.h"

#include <GL/gl.h>

#include <cmath>

#include "frame/graphics_context.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/texture_binding.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

void BindForDrawing(OpenGLRainbows& ctx, int32_t sprite) {
  BindSpriteTextures(ctx, sprite, -1, 0, nullptr);
  ApplySpriteFilter(ctx);
  InvalidateScreenReads();
}

// An edge a size away from a coordinate, summed in 64 bits: the arguments may be any int.
float FarEdge(int32_t at, int32_t size) {
  return float(int64_t(at) + size);
}

bool HasFrames(const SpriteRecord& record) {
  return record.frameWidth != 0 && record.frameHeight != 0;
}

// The corners of a quad in the order one GL quad takes them.
void QuadCorners(float left, float top, float right, float bottom, float u0, float u1, float vb,
                 float vt, QuadVertex (&corners)[4]) {
  corners[0] = {right, top, u1, vt};
  corners[1] = {left, top, u0, vt};
  corners[2] = {left, bottom, u0, vb};
  corners[3] = {right, bottom, u1, vb};
}

void DrawImmediateQuad(const QuadVertex (&corners)[4]) {
  glBegin(GL_QUADS);
  for (const QuadVertex& corner : corners) {
    glTexCoord2f(corner.u, corner.v);
    glVertex2f(corner.x, corner.y);
  }
  glEnd();
}

// One sprite's corners: joined to the held draws when they match, else drawn, or held as the
// first of a new batch, after the sprite's own texture set-up.
void DrawSpriteCorners(OpenGLRainbows& ctx, int32_t sprite, SpriteShape shape,
                       const QuadVertex (&corners)[4]) {
  if (JoinSpriteBatch(ctx, sprite, shape, corners)) return;
  BindForDrawing(ctx, sprite);
  if (!SpriteBatching()) {
    if (shape == SpriteShape::kQuad) {
      DrawImmediateQuad(corners);
    } else {
      DrawQuadFan(corners);
    }
    return;
  }
  if (shape == SpriteShape::kClampedFan) ClampBoundTextureEdges();
  StartSpriteBatch(ctx, sprite, shape, corners);
}

}  // namespace

FrameTexCoords AnimFrameTexCoords(const SpriteRecord& record, int32_t frame) {
  const int32_t perRow = record.frameWidth ? record.width / record.frameWidth : 0;
  const int64_t row = perRow ? frame / perRow : 0;
  const int32_t column = perRow ? frame % perRow : frame;
  FrameTexCoords t;
  t.uStep = float(record.frameWidth) / float(record.paddedWidth);
  t.u0 = float(column) * t.uStep;
  t.u1 = t.u0 + t.uStep;
  t.vb = float(record.height - record.frameHeight * (row + 1)) / float(record.paddedHeight);
  t.vt = t.vb + float(record.frameHeight) / float(record.paddedHeight);
  return t;
}

void DrawSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y) {
  const SpriteRecord& r = ctx.sprites[sprite];
  QuadVertex corners[4];
  QuadCorners(float(x), float(y), FarEdge(x, r.width), FarEdge(y, r.height), 0.0f, r.maxU, 0.0f,
              r.maxV, corners);
  DrawSpriteCorners(ctx, sprite, SpriteShape::kQuad, corners);
}

void StretchSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
  const SpriteRecord& r = ctx.sprites[sprite];
  const float left = float(x), top = float(y);
  const float right = FarEdge(x, width), bottom = FarEdge(y, height);
  const QuadVertex corners[4] = {{left, bottom, 0.0f, 0.0f},
                                 {right, bottom, r.maxU, 0.0f},
                                 {right, top, r.maxU, r.maxV},
                                 {left, top, 0.0f, r.maxV}};
  DrawSpriteCorners(ctx, sprite, SpriteShape::kClampedFan, corners);
}

void RotoZoomSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, float angle,
                    float zoom) {
  // Turned by the modelview matrix, so it is never held with others (binding flushes them).
  BindForDrawing(ctx, sprite);
  const SpriteRecord& r = ctx.sprites[sprite];
  const float hw = float(r.width) * zoom * 0.5f;
  const float hh = float(r.height) * zoom * 0.5f;
  // Half a texel in, so linear filtering never reaches the padding.
  const float uLeft = 0.5f / float(r.paddedWidth);
  const float uRight = (float(r.width) - 0.5f) / float(r.paddedWidth);
  const float vLow = 0.5f / float(r.paddedHeight);
  const float vHigh = (float(r.height) - 0.5f) / float(r.paddedHeight);
  glPushMatrix();
  glTranslatef(FarEdge(x, r.width / 2), FarEdge(y, r.height / 2), 0.0f);
  glRotatef(angle, 0.0f, 0.0f, -1.0f);
  const QuadVertex corners[4] = {{-hw, hh, uLeft, vLow},
                                 {hw, hh, uRight, vLow},
                                 {hw, -hh, uRight, vHigh},
                                 {-hw, -hh, uLeft, vHigh}};
  DrawQuadFan(corners);
  glPopMatrix();
}

void SetSpriteAnimSize(OpenGLRainbows& ctx, int32_t sprite, uint16_t frameWidth,
                       uint16_t frameHeight) {
  ctx.sprites[sprite].frameWidth = frameWidth;
  ctx.sprites[sprite].frameHeight = frameHeight;
}

void DrawAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y) {
  if (!HasFrames(ctx.sprites[sprite])) return;
  const SpriteRecord& r = ctx.sprites[sprite];
  const FrameTexCoords t = AnimFrameTexCoords(r, frame);
  QuadVertex corners[4];
  QuadCorners(float(x), float(y), FarEdge(x, r.frameWidth), FarEdge(y, r.frameHeight), t.u0, t.u1,
              t.vb, t.vt, corners);
  DrawSpriteCorners(ctx, sprite, SpriteShape::kQuad, corners);
}

void StretchAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y,
                      int32_t width, int32_t height) {
  if (!HasFrames(ctx.sprites[sprite])) return;
  const SpriteRecord& r = ctx.sprites[sprite];
  const FrameTexCoords t = AnimFrameTexCoords(r, frame);
  // The far edges reach a tenth of a pixel further, so that no last row or column drops out.
  const float left = float(x), top = float(y);
  const float right = FarEdge(x, width) + 0.1f, bottom = FarEdge(y, height) + 0.1f;
  const QuadVertex corners[4] = {{left, top, t.u0, t.vt},
                                 {left, bottom, t.u0, t.vb},
                                 {right, bottom, t.u1, t.vb},
                                 {right, top, t.u1, t.vt}};
  DrawSpriteCorners(ctx, sprite, SpriteShape::kClampedFan, corners);
}

void RotoZoomAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y,
                       float angle, float zoom) {
  if (!HasFrames(ctx.sprites[sprite])) return;
  const SpriteRecord& r = ctx.sprites[sprite];
  const FrameTexCoords t = AnimFrameTexCoords(r, frame);
  const float u0 = t.u0 + 0.5f / float(r.paddedWidth);
  const float u1 = u0 + t.uStep - 1.0f / float(r.paddedWidth);
  const float vb = t.vb + 0.5f / float(r.paddedHeight);
  const float vt = vb + float(r.frameHeight) / float(r.paddedHeight) - 1.0f / float(r.paddedHeight);
  const float cx = FarEdge(x, r.frameWidth / 2);
  const float cy = FarEdge(y, r.frameHeight / 2);
  const float hw = float(r.frameWidth) * zoom * 0.5f;
  const float hh = float(r.frameHeight) * zoom * 0.5f;
  const float radians = angle * kDegreesToRadians;
  const float s = std::sin(radians), c = std::cos(radians);
  auto corner = [&](float dx, float dy, float u, float v) {
    return QuadVertex{cx + dx * c + dy * s, cy - dx * s + dy * c, u, v};
  };
  const QuadVertex corners[4] = {corner(-hw, -hh, u0, vt), corner(-hw, hh, u0, vb),
                                 corner(hw, hh, u1, vb), corner(hw, -hh, u1, vt)};
  DrawSpriteCorners(ctx, sprite, SpriteShape::kClampedFan, corners);
}

void SetTransparentColour(OpenGLRainbows& ctx, uint32_t colour) {
  ctx.transparentColour = colour;
  ctx.fontTransparentColour = colour;
}

const int32_t* GetViewportRect(const OpenGLRainbows& ctx) {
  static int32_t rect[4];
  rect[0] = ctx.viewportX;
  rect[1] = ctx.viewportY;
  rect[2] = ctx.viewportWidth;
  rect[3] = ctx.viewportHeight;
  return rect;
}
