// Points, lines and filled rectangles.
#include "gfx2d/primitives.h"

#include <GL/gl.h>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/texture_binding.h"

namespace {

constexpr float kByteToUnit = 0.003921569f;

float Channel(uint32_t colour, int shift) {
  return float((colour >> shift) & 0xFF) * kByteToUnit;
}

void BeginUntextured(OpenGLRainbows& ctx, uint32_t colour) {
  InvalidateScreenReads();
  const float alpha = colour == ctx.transparentColour ? 0.0f : ctx.drawAlpha;
  CachedColour(Channel(colour, 0), Channel(colour, 8), Channel(colour, 16), alpha);
  BindSpriteTextures(ctx, -1, -1, 0, nullptr);
}

void EndUntextured(const OpenGLRainbows& ctx) {
  CachedColour(1.0f, 1.0f, 1.0f, ctx.drawAlpha);
}

// The shift puts integer coordinates on pixel centres for points and lines.
void PushPixelCentreShift() {
  FlushSpriteBatch();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glTranslatef(0.375f, 0.375f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
}

void PopPixelCentreShift() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

// In 64 bits: a span may start anywhere in the int range and have any int size.
void NormaliseSpan(int64_t& start, int64_t& size) {
  if (size < 0) {
    start += size + 1;
    size = -size;
  }
}

}  // namespace

void DrawPoint(OpenGLRainbows& ctx, int32_t x, int32_t y, uint32_t colour) {
  BeginUntextured(ctx, colour);
  PushPixelCentreShift();
  glBegin(GL_POINTS);
  glVertex2i(x, y);
  glEnd();
  PopPixelCentreShift();
  EndUntextured(ctx);
}

void DrawLine(OpenGLRainbows& ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              uint32_t colour) {
  BeginUntextured(ctx, colour);
  PushPixelCentreShift();
  glBegin(GL_LINES);
  glVertex2i(x1, y1);
  glVertex2i(x2, y2);
  glEnd();
  // A GL line leaves out its last pixel.
  glBegin(GL_POINTS);
  glVertex2i(x2, y2);
  glEnd();
  PopPixelCentreShift();
  EndUntextured(ctx);
}

void FillRect(OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t colour) {
  BeginUntextured(ctx, colour);
  int64_t startX = x, startY = y, spanX = width, spanY = height;
  NormaliseSpan(startX, spanX);
  NormaliseSpan(startY, spanY);
  const float left = float(startX);
  const float top = float(startY);
  const float right = float(startX + spanX);
  const float bottom = float(startY + spanY);
  const QuadVertex corners[4] = {
      {left, bottom, 0, 0}, {right, bottom, 0, 0}, {right, top, 0, 0}, {left, top, 0, 0}};
  DrawQuadFan(corners);
  EndUntextured(ctx);
}
