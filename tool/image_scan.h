// The strip image into the voxel box: emptying the box, the scan's answers and size limit, and
// the passes that turn each read-back tile into one depth slice of voxels and palette indices.
// Drawing a tile and reading it back is the caller's part (a TileReader), so the passes run the
// same on the screen and headless.
#pragma once

#include <cstdint>
#include <functional>

#include "core/str_value.h"

// The largest tile size and layer count the box holds (the questions say 255; 254 is right).
inline constexpr double kScanMaxSize = 254;

struct ScanAnswers {
  double custom = 0;  // not 0: the next three give the transparent colour
  double red = 0, green = 0, blue = 0;
  double readType = 0;           // 0 tiles side by side, anything else one below the other
  double width = 0, height = 0;  // of one tile, in pixels
  double layers = 0;
  double mirror = 0;  // exactly 1 stacks a reversed copy behind the layers
};

// Empties cells 0 to 255 of every axis (index 256 stays), with a progress step per plane.
void clear_object();

// Sets TransparentColor from a custom colour; without one it keeps the program's 0.
void ApplyTransparentAnswer(const ScanAnswers& answers);
// S: the larger of the tile width and height, the box's size across.
double ScanTileSize(const ScanAnswers& answers);
// The layers and, when mirrored, the reversed copy must fit the box's 254 depths as well.
bool ScanTooBig(const ScanAnswers& answers);
StrValue ScanTooBigText();
// Too big: the message, a key, and the program ends (status 0) before any file is written.
void EndScanWhenTooBig(const ScanAnswers& answers);

// Iterations of a loop from 0 to bound - 1.
int32_t ScanLoopCount(double bound);

// One drawn tile read back: ScanLoopCount(height) rows of ScanLoopCount(width) colours
// 0x00BBGGRR, the top row first. `tile` is the strip's tile number.
using TileReader = std::function<const uint32_t*(double tile)>;

// Sets the grid sizes and runs the passes: pass 0 writes tile i to depth i + 1, a mirrored pass 1
// writes tile L - 1 - i to depth L + i + 1, and GridSizeZ then covers both (2L). Pixels beyond
// the image (layers past its last tile) stay empty rather than repeating the strip; pixels of
// the transparent colour stay empty. One progress step per layer.
void ScanTilesIntoVoxels(const ScanAnswers& answers, int32_t imageWidth, int32_t imageHeight,
                         const TileReader& readTile);
