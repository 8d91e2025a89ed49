// Drawing one tile of the strip (sprite 0) for the scan to read back: a textured quad at the
// screen's top-left corner, one image pixel per screen pixel while sprite smoothing is off.
#pragma once

#include "tool/image_scan.h"

class OpenGLRainbows;

inline constexpr int32_t kStripSprite = 0;

// Tile `tile` of the strip, taken side by side (read type 0) or one below the other; sprite 0
// holds the strip from pixel `origin` on along its length.
void DrawScanTile(OpenGLRainbows& ctx, const ScanAnswers& answers, double tile, double origin = 0);

// Makes sure sprite 0 holds the tile and answers where along the strip the sprite begins.
using TileOrigin = std::function<double(double tile)>;

// Each tile drawn alone on a cleared frame of the process's graphics context and read back with
// GetPixel, whose screen-read cache serves the whole tile from one block read as nothing is
// drawn between the reads. Without a graphics context every tile reads back black.
// Without a TileOrigin sprite 0 holds the whole strip.
TileReader ScreenTileReader(const ScanAnswers& answers, TileOrigin origin = nullptr);
