// Box clearing, the scan's answers and limit, and the scan passes.
#include "tool/image_scan.h"

#include <cmath>

#include "core/number_text.h"
#include "core/user_functions.h"
#include "frame/waits.h"
#include "tool/palette.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kClearedCells = 256;

struct ScanPass {
  const ScanAnswers& answers;
  int32_t imageWidth, imageHeight;
  int32_t columns, rows;
};

bool InsideImage(const ScanPass& pass, double tile, int32_t x, int32_t y) {
  const ScanAnswers& a = pass.answers;
  if (a.readType == 0) return tile * a.width + x < pass.imageWidth && y < pass.imageHeight;
  return x < pass.imageWidth && tile * a.height + y < pass.imageHeight;
}

void ScanTile(const ScanPass& pass, double tile, double depth, const uint32_t* pixels) {
  const double transparent = ToolGlobals.TransparentColor;
  for (int32_t y = 0; y < pass.rows; ++y) {
    const VoxelLine row = VoxelRowAlongX(y + 1, depth);
    for (int32_t x = 0; x < pass.columns; ++x) {
      if (!InsideImage(pass, tile, x, y)) continue;
      const double colour = pixels[size_t(y) * size_t(pass.columns) + size_t(x)];
      if (colour == transparent) continue;
      // Past the box the checked access reports the index as ever.
      (x + 1 < kVoxelAxisCells ? row[x + 1] : VoxelAt(x + 1, y + 1, depth)) = PaletteAddColor(colour);
    }
  }
}

// Only cells that hold something are written, so untouched pages of the box stay unallocated.
void ClearPlane(int32_t a) {
  for (int32_t c = 0; c < kClearedCells; ++c) {
    const VoxelLine row = VoxelRowAlongX(a, c);
    for (int32_t b = 0; b < kClearedCells; ++b) {
      if (row[b] != 0) row[b] = 0;
    }
  }
}

}  // namespace

void clear_object() {
  ToolState& g = ToolGlobals;
  const bool walk = g.VoxelsMayHoldCells;
  for (int32_t a = 0; a < kClearedCells; ++a) {
    if (walk) ClearPlane(a);
    const ProgressBar bar{70, 70, ProgressBarWidth(a, 255), kProgressBarColour};
    ProgressStep("prepping...", &bar, a == kClearedCells - 1);
  }
  g.VoxelsMayHoldCells = false;
}

void ApplyTransparentAnswer(const ScanAnswers& answers) {
  if (answers.custom == 0) return;
  ToolGlobals.TransparentColor = (TruncToI32(answers.red) & 255) +
                                 (TruncToI32(answers.green) & 255) * 256 +
                                 (TruncToI32(answers.blue) & 255) * 65536;
}

double ScanTileSize(const ScanAnswers& answers) {
  return answers.width > answers.height ? answers.width : answers.height;
}

bool ScanTooBig(const ScanAnswers& answers) {
  if (ScanTileSize(answers) > kScanMaxSize || answers.layers > kScanMaxSize) return true;
  return answers.mirror == 1 && 2 * answers.layers > kScanMaxSize;
}

StrValue ScanTooBigText() {
  return StrValue("Too big, must be ") + kScanMaxSize + "x" + kScanMaxSize + "x" + kScanMaxSize +
         " tiles or less";
}

void EndScanWhenTooBig(const ScanAnswers& answers) {
  if (!ScanTooBig(answers)) return;
  PrintToolText(ScanTooBigText(), 0, 0);
  if (CurrentToolScreen().showScreen) CurrentToolScreen().showScreen();
  WaitForKey();
  EndLoopAndExit();
}

int32_t ScanLoopCount(double bound) {
  if (!(bound >= 1)) return 0;
  return TruncToI32(std::floor(bound - 1)) + 1;
}

void ScanTilesIntoVoxels(const ScanAnswers& answers, int32_t imageWidth, int32_t imageHeight,
                         const TileReader& readTile) {
  ToolState& g = ToolGlobals;
  const double size = ScanTileSize(answers);
  const double layers = answers.layers;
  g.GridSizeX = g.GridSizeY = size;
  g.GridSizeZ = layers;
  const ScanPass pass{answers, imageWidth, imageHeight, ScanLoopCount(answers.width),
                      ScanLoopCount(answers.height)};
  const int32_t passes = answers.mirror == 1 ? 2 : 1;
  const int32_t layerCount = ScanLoopCount(layers);
  for (int32_t p = 0; p < passes; ++p) {
    for (int32_t i = 0; i < layerCount; ++i) {
      const double tile = p == 0 ? i : layers - 1 - i;
      const double depth = p == 0 ? i + 1 : layers + i + 1;
      ScanTile(pass, tile, depth, readTile(tile));
      const ProgressBar bar{320, 80, ProgressBarWidth(i, layers), kProgressBarColour};
      ProgressStep(nullptr, &bar, p == passes - 1 && i == layerCount - 1);
    }
  }
  if (passes == 2) g.GridSizeZ = 2 * layers;
}
