#include "frame/graphics_context.h"
#include "gfx2d/fade_standins.h"

void StandInGrabBackground(OpenGLRainbows&, int32_t) {}

bool StandInLoadBackgroundPicture(OpenGLRainbows&, int32_t, const char*) { return false; }

void StandInFreeBackgroundTiles(OpenGLRainbows& ctx, int32_t slot) {
  if (slot >= 0 && slot < kBackgroundPictureCount) ctx.backgrounds[slot] = {};
}
