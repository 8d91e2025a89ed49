// Drawing one tile of the strip (sprite 0) for the scan to read back: a textured quad at the
// screen's top-left corner, one image pixel per screen pixel while sprite smoothing is off.
#pragma once

#include "tool/image_scan.h"

class OpenGLRainbows;

inline constexpr int32_t kStripSprite = 0;

// Tile `tile` of the strip, taken side by side (read type 0) or one below the other.
void DrawScanTile(OpenGLRainbows& ctx, const ScanAnswers& answers, double tile);

// Each tile drawn alone on a cleared frame of the process's graphics context and read back with
// GetPixel, whose screen-read cache serves the whole tile from one block read as nothing is
// drawn between the reads. Without a graphics context every tile reads back black.
TileReader ScreenTileReader(const ScanAnswers& answers);
