// Stand-in for the screen modes until they land: no fullscreen mode is ever entered, so the
// window is already in its windowed placement, a fullscreen request falls back to it as a
// display without that mode would, and stepping aside only hides the window.
#include "frame/graphics_context.h"
#include "frame/screen_modes.h"
#include "system/debug_log.h"

bool ApplyWindowMode(OpenGLRainbows& ctx) {
  ctx.fullscreen = 0;
  return true;
}

bool RecreateGraphicsWindow(OpenGLRainbows& ctx) {
  ErrorLogWrite("No Fullscreen Mode available\n");
  ApplyWindowMode(ctx);
  return false;
}

bool LeaveFullscreen(OpenGLRainbows& ctx) {
  platform::HideWindow(ctx.window);
  ctx.fullscreen = 0;
  return true;
}
