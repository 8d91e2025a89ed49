// Drawing one tile of the strip (sprite 0) for the scan to read back: a textured quad at the
// screen's top-left corner, one image pixel per screen pixel while sprite smoothing is off.
#pragma once

#include "tool/image_scan.h"

class OpenGLRainbows;

inline constexpr int32_t kStripSprite = 0;

// Tile `tile` of the strip, taken side by side (read type 0) or one below the other.
void DrawScanTile(OpenGLRainbows& ctx, const ScanAnswers& answers, double tile);
