// Until the blend modes land, only the draw alpha is kept: its magnitude clamped to 1, and 1 for
// a = 0.
#include <algorithm>
#include <cmath>

#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/fade_standins.h"

void StandInSetBlendMode(double a) {
  if (!GraphicsContext) return;
  GraphicsContext->drawAlpha = a == 0.0 ? 1.0f : static_cast<float>(std::min(std::fabs(a), 1.0));
}
