// Stand-in for the 2D layer's off-screen screens: no framebuffer is ever made before it lands,
// so ending a screen only gives the window back and deleting one only resets its record.
#include "frame/gfx2d_standins.h"
#include "frame/graphics_context.h"
#include "frame/screen_orientation.h"

void StandInEndOffscreenScreen(OpenGLRainbows& ctx) {
  if (ctx.currentScreen < 0) return;
  ctx.currentScreen = -1;
  SetViewport(ctx, 0, 0, 0, 0);
}

void StandInDeleteFramebuffer(OffscreenScreen& screen) { screen = OffscreenScreen{}; }

void StandInLoadFramebufferExtensions() {}
