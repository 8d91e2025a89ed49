// Orientation maps, viewport and clear colour.
#include "frame/screen_orientation.h"

#include <GL/gl.h>

#include <utility>

#include "core/maths.h"
#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"

namespace {

int32_t Orientation(const OpenGLRainbows& ctx) {
  return ctx.orientation >= 0 && ctx.orientation <= 3 ? ctx.orientation : 0;
}

// Height of the sprite that receives an off-screen screen's picture; the screen's own height
// when the sprite is not a valid id.
int32_t ScreenTargetHeight(const OpenGLRainbows& ctx, const OffscreenScreen& screen) {
  if (screen.sprite < 0 || screen.sprite >= kSpriteCount) return screen.height;
  return ctx.sprites[screen.sprite].height;
}

void SetOffscreenViewport(OpenGLRainbows& ctx, const OffscreenScreen& screen, int32_t x,
                          int32_t y, int32_t w, int32_t h) {
  glViewport(x, SaturateToInt(int64_t(ScreenTargetHeight(ctx, screen)) - h - y), w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, h, 0, -1, 1);
}

void SetWindowViewport(OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h) {
  const int32_t orientation = Orientation(ctx);
  LoadOrientationProjection(ctx);
  int32_t rect[4];
  WindowViewportRect(ctx, x, y, w, h, rect);
  glViewport(rect[0], rect[1], rect[2], rect[3]);
  const int32_t sw = rect[2], sh = rect[3];
  if (orientation == 1 || orientation == 3) {
    glOrtho(0, sh, sw, 0, -1, 1);
  } else {
    glOrtho(0, sw, sh, 0, -1, 1);
  }
}

}  // namespace

// The maps take any int: they work in 64 bits and hold their results to the int range, which
// keeps a point off the window off it.
void ScreenToLogical(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t* lx, int32_t* ly) {
  const int64_t w = ctx.windowWidth, h = ctx.windowHeight;
  switch (Orientation(ctx)) {
    case 1: *lx = y; *ly = SaturateToInt(w - 1 - x); return;
    case 2: *lx = SaturateToInt(w - 1 - x); *ly = SaturateToInt(h - 1 - y); return;
    case 3: *lx = SaturateToInt(h - 1 - y); *ly = x; return;
    default: *lx = x; *ly = y; return;
  }
}

void LogicalToScreen(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t* wx, int32_t* wy) {
  int64_t column, row;
  LogicalToScreen(ctx, int64_t(x), int64_t(y), &column, &row);
  *wx = SaturateToInt(column);
  *wy = SaturateToInt(row);
}

void LogicalToScreen(const OpenGLRainbows& ctx, int64_t x, int64_t y, int64_t* wx, int64_t* wy) {
  const int64_t w = ctx.windowWidth, h = ctx.windowHeight;
  switch (Orientation(ctx)) {
    case 1: *wx = w - 1 - y; *wy = x; return;
    case 2: *wx = w - 1 - x; *wy = h - 1 - y; return;
    case 3: *wx = y; *wy = h - 1 - x; return;
    default: *wx = x; *wy = y; return;
  }
}

void RotateDelta(const OpenGLRainbows& ctx, int32_t dx, int32_t dy, int32_t* rx, int32_t* ry) {
  const int64_t x = dx, y = dy;
  switch (Orientation(ctx)) {
    case 1: *rx = SaturateToInt(-y); *ry = dx; return;
    case 2: *rx = SaturateToInt(-x); *ry = SaturateToInt(-y); return;
    case 3: *rx = dy; *ry = SaturateToInt(-x); return;
    default: *rx = dx; *ry = dy; return;
  }
}

void ScreenDeltaToLogical(const OpenGLRainbows& ctx, int32_t dx, int32_t dy, int32_t* lx,
                          int32_t* ly) {
  const int64_t x = dx, y = dy;
  switch (Orientation(ctx)) {
    case 1: *lx = dy; *ly = SaturateToInt(-x); return;
    case 2: *lx = SaturateToInt(-x); *ly = SaturateToInt(-y); return;
    case 3: *lx = SaturateToInt(-y); *ly = dx; return;
    default: *lx = dx; *ly = dy; return;
  }
}

void LogicalRectToScreen(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h,
                         int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh) {
  LogicalToScreen(ctx, x, y, sx, sy);
  RotateDelta(ctx, w, h, sw, sh);
}

// Column-major turns: orientation 1 maps (x, y) to (y, -x), 2 to (-x, -y), 3 to (-y, x).
void LoadOrientationProjection(const OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  static const GLfloat kTurns[4][4] = {{1, 0, 0, 1}, {0, -1, 1, 0}, {-1, 0, 0, -1}, {0, 1, -1, 0}};
  const GLfloat* t = kTurns[Orientation(ctx)];
  const GLfloat matrix[16] = {t[0], t[1], 0, 0, t[2], t[3], 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(matrix);
}

void WindowViewportRect(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h,
                        int32_t rect[4]) {
  int32_t screenX, screenY, screenW, screenH;
  LogicalRectToScreen(ctx, x, y, w, h, &screenX, &screenY, &screenW, &screenH);
  int64_t sx = screenX, sy = screenY, sw = screenW, sh = screenH;
  if (sw < 0) {
    sx += sw + 1;
    sw = -sw;
  }
  if (sh < 0) {
    sy += sh + 1;
    sh = -sh;
  }
  rect[0] = SaturateToInt(sx);
  rect[1] = SaturateToInt(ctx.windowHeight - sh - sy);
  rect[2] = SaturateToInt(sw);
  rect[3] = SaturateToInt(sh);
}

void SetViewport(OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h) {
  FlushHeldSpriteDraws();
  const bool onScreen = ctx.currentScreen >= 0 && ctx.currentScreen < kOffscreenScreenCount;
  if (w < 1 || h < 1) {
    x = y = 0;
    if (onScreen) {
      w = ctx.screens[ctx.currentScreen].width;
      h = ctx.screens[ctx.currentScreen].height;
    } else {
      w = ctx.windowWidth;
      h = ctx.windowHeight;
      if (Orientation(ctx) % 2 == 1) std::swap(w, h);
    }
  }
  if (onScreen) {
    SetOffscreenViewport(ctx, ctx.screens[ctx.currentScreen], x, y, w, h);
  } else {
    SetWindowViewport(ctx, x, y, w, h);
  }
  ctx.viewportX = x;
  ctx.viewportY = y;
  ctx.viewportWidth = w;
  ctx.viewportHeight = h;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void ClearScreenColour(OpenGLRainbows& ctx, int32_t colour) {
  FlushHeldSpriteDraws();
  if (colour == -1) {
    ctx.clearEachFrame = 0;
    return;
  }
  ctx.clearEachFrame = 1;
  glClearColor((colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
               ((colour >> 16) & 0xFF) / 255.0f, 1.0f);
  Gfx2d().invalidateScreenReads();
  glClear(GL_COLOR_BUFFER_BIT);
}
