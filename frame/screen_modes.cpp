#include "frame/screen_modes.h"

#include <algorithm>
#include <cmath>

#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"
#include "frame/graphics_window.h"
#include "frame/screen_orientation.h"
#include "frame/window_placements.h"
#include "platform/window.h"
#include "system/debug_log.h"

namespace {

// The stored size, first with the stored colour depth where it differs from the desktop's, then
// at the desktop's depth.
bool FullscreenModeAvailable(const OpenGLRainbows& ctx) {
  int desktopWidth = 0, desktopHeight = 0, desktopBits = 0;
  platform::DesktopMode(&desktopWidth, &desktopHeight, &desktopBits);
  const int32_t bits = ctx.colourBits != 0 && ctx.colourBits != desktopBits ? ctx.colourBits : 0;
  if (platform::FullscreenModeExists(ctx.windowWidth, ctx.windowHeight, bits)) return true;
  return bits != 0 && platform::FullscreenModeExists(ctx.windowWidth, ctx.windowHeight, 0);
}

// A window is at least one pixel wide and high, whatever size was asked for.
int32_t WindowSide(int32_t requested) {
  return std::max(requested, 1);
}

void RefuseFullscreen(OpenGLRainbows& ctx) {
  ErrorLogWrite("No Fullscreen Mode available\n");
  ApplyWindowMode(ctx);
}

// A failed re-creation leaves the old window as it was: back to it, windowed.
void ReturnToWindow(OpenGLRainbows& ctx, platform::Window* old, int32_t width, int32_t height) {
  if (ctx.window && ctx.window != old) platform::DestroyWindow(ctx.window);
  ctx.window = old;
  AdoptMainWindow(ctx);
  ctx.windowWidth = width;
  ctx.windowHeight = height;
  platform::MakeCurrent(old, ctx.glContext);
  ctx.fullscreen = 0;
  ApplyWindowMode(ctx);
}

}  // namespace

bool SetScreenMode(OpenGLRainbows& ctx, int32_t width, int32_t height, int32_t colourBits,
                   int32_t fullscreen) {
  if (width) ctx.windowWidth = WindowSide(width);
  if (height) ctx.windowHeight = WindowSide(height);
  if (colourBits) ctx.colourBits = colourBits;
  return fullscreen ? RecreateGraphicsWindow(ctx) : ApplyWindowMode(ctx);
}

bool ApplyWindowMode(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  const bool wasFullscreen = ctx.fullscreen != 0;
  ctx.fullscreen = 0;
  if (!ctx.window) return true;
  if (wasFullscreen) {
    platform::LeaveFullscreen(ctx.window);
    RestoreWindowPlacements();
  }
  // A size the window cannot take leaves the one it has, which the context must then describe.
  if (!platform::SetClientSize(ctx.window, ctx.windowWidth, ctx.windowHeight)) {
    platform::DrawableSize(ctx.window, &ctx.windowWidth, &ctx.windowHeight);
  }
  platform::CentreInWorkArea(ctx.window);
  platform::ShowAndRaise(ctx.window);
  Gfx2d().invalidateScreenReads();
  SetViewport(ctx, 0, 0, 0, 0);
  return true;
}

bool RecreateGraphicsWindow(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  if (!FullscreenModeAvailable(ctx)) {
    RefuseFullscreen(ctx);
    return false;
  }
  platform::Window* old = ctx.window;
  const int32_t width = ctx.windowWidth, height = ctx.windowHeight;
  if (!CreateGraphicsWindow(ctx, ctx.instance, width, height, ctx.colourBits,
                            FramesPerSecondOfPeriod(ctx.msPerFrame), ctx.multisampleRequest)) {
    ReturnToWindow(ctx, old, width, height);
    return false;
  }
  platform::CopyTitle(old, ctx.window);
  AdoptMainWindow(ctx);
  platform::DestroyWindow(old);
  SetViewport(ctx, 0, 0, 0, 0);
  if (!platform::EnterFullscreen(ctx.window, width, height)) {
    RefuseFullscreen(ctx);
    return false;
  }
  ctx.fullscreen = 1;
  return true;
}

bool LeaveFullscreen(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  if (ctx.fullscreen) platform::LeaveFullscreen(ctx.window);
  platform::HideWindow(ctx.window);
  ctx.fullscreen = 0;
  if (ctx.window) PumpMessages(ctx, nullptr);
  return true;
}

void SetScreenSize(OpenGLRainbows& ctx, int32_t width, int32_t height) {
  ctx.windowWidth = WindowSide(width);
  ctx.windowHeight = WindowSide(height);
  SetViewport(ctx, 0, 0, 0, 0);
}

int32_t FramesPerSecondOfPeriod(double msPerFrame) {
  return msPerFrame > 0.0 ? static_cast<int32_t>(std::lround(1000.0 / msPerFrame)) : 5;
}
