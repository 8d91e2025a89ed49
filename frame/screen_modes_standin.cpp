// Stand-in for the screen modes until they land: no fullscreen mode is ever entered, so the
// window is already in its windowed placement.
#include "frame/screen_modes.h"

#include "frame/graphics_context.h"

bool ApplyWindowMode(OpenGLRainbows& ctx) {
  ctx.fullscreen = 0;
  return true;
}
