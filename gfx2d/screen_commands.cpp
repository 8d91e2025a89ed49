// Screen, viewport, frame-rate and timer commands over the graphics context and the frame cycle.
#include "gfx2d/screen_commands.h"

#include <algorithm>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "frame/cycle_services.h"
#include "frame/frame_cycle.h"
#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/offscreen_screens.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_pixels.h"
#include "platform/clock.h"

namespace {

constexpr double kShortestFramePeriodMs = 2.0;
constexpr int32_t kErrorNoSuchFile = 3;

void LeaveShadowPass(OpenGLRainbows& ctx) {
  Cycle().setShadowPass(ctx.scene, 0);
}

// The sprite an off-screen screen draws into, or -1 while the window is the target.
int32_t ActiveScreenSprite(const OpenGLRainbows& ctx) {
  if (!IsScreenId(ctx.currentScreen)) return -1;
  const int32_t sprite = ctx.screens[ctx.currentScreen].sprite;
  return IsSpriteId(sprite) ? sprite : -1;
}

}  // namespace

void GetActiveScreenSizeI(int32_t* width, int32_t* height) {
  *width = *height = 0;
  if (!GraphicsContext) return;
  const OpenGLRainbows& ctx = *GraphicsContext;
  const int32_t sprite = ActiveScreenSprite(ctx);
  if (sprite >= 0) {
    *width = ctx.sprites[sprite].width;
    *height = ctx.sprites[sprite].height;
    return;
  }
  const bool turned = ctx.orientation == 1 || ctx.orientation == 3;
  *width = turned ? ctx.windowHeight : ctx.windowWidth;
  *height = turned ? ctx.windowWidth : ctx.windowHeight;
}

void GetActiveScreenSizeF(double* width, double* height) {
  int32_t w, h;
  GetActiveScreenSizeI(&w, &h);
  *width = w;
  *height = h;
}

int32_t GetOrientationCmd() {
  return GraphicsContext ? GraphicsContext->orientation : 0;
}

void GetDesktopSizeCmd(int32_t* width, int32_t* height) {
  *width = DesktopWidth;
  *height = DesktopHeight;
}

void SetViewportCmd(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!GraphicsContext) return;
  LeaveShadowPass(*GraphicsContext);
  SetViewport(*GraphicsContext, x, y, w, h);
}

void SetOrientationCmd(int32_t orientation) {
  if (!GraphicsContext) return;
  GraphicsContext->orientation = std::clamp(orientation, 0, 3);
  LeaveShadowPass(*GraphicsContext);
  SetViewport(*GraphicsContext, 0, 0, 0, 0);
}

void GetViewportI(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
  *x = *y = *w = *h = 0;
  if (!GraphicsContext) return;
  const int32_t* rect = GetViewportRect(*GraphicsContext);
  *x = rect[0];
  *y = rect[1];
  *w = rect[2];
  *h = rect[3];
}

void GetViewportF(double* x, double* y, double* w, double* h) {
  int32_t xi, yi, wi, hi;
  GetViewportI(&xi, &yi, &wi, &hi);
  *x = xi;
  *y = yi;
  *w = wi;
  *h = hi;
}

int32_t CreateScreenCmd(int32_t screen, int32_t sprite, int32_t w, int32_t h) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx || !IsScreenId(screen)) return 0;
  return CreateOffscreenScreen(*ctx, screen, sprite, w, h) ? 1 : 0;
}

void UseScreenCmd(int32_t screen) {
  if (!GraphicsContext) return;
  if (screen < 0)
    EndOffscreenScreen(*GraphicsContext);
  else
    UseOffscreenScreen(*GraphicsContext, screen);
}

void SaveScreenCmd(const Str& name) {
  ClearLastError();
  if (!GraphicsContext || !SaveScreen(*GraphicsContext, name.data))
    SetLastErrorCode(kErrorNoSuchFile);
}

void SetFrameRateCmd(double fps, int32_t vsync) {
  if (GlExtensionTable.wglSwapIntervalEXT) GlExtensionTable.wglSwapIntervalEXT(vsync != 0 ? 1 : 0);
  if (!GraphicsContext) return;
  const int32_t rate = CountFromDouble(fps);
  // The period is worked out in single precision: 60 frames give 16.66666603... ms.
  GraphicsContext->msPerFrame =
      rate > 0 ? double(1000.0f / static_cast<float>(rate)) : kShortestFramePeriodMs;
}

int32_t IsFullscreenCmd() {
  return GraphicsContext && GraphicsContext->fullscreen ? 1 : 0;
}

double GetTimer() {
  const double elapsed = FrameTimes.currentFrameStart - FrameTimes.previousFrameStart;
  return elapsed > 0.0 ? elapsed : 1.0;
}

void SleepMs(int32_t ms) {
  platform::SleepMs(static_cast<uint32_t>(std::max(ms, 0)));
}
