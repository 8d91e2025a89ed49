// The tile quad: four corners of a triangle strip, texture positions in image pixels; and the
// read-back of the drawn tile.
#include "tool/scan_tile_drawing.h"

#include <vector>

#include "frame/runtime_objects.h"
#include "gfx2d/background_commands.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/polygon_batch.h"

void DrawScanTile(OpenGLRainbows& ctx, const ScanAnswers& answers, double tile, double origin) {
  const double w = answers.width, h = answers.height;
  const bool vertical = answers.readType != 0;
  // Texture origin of the tile and of the corner opposite it.
  const double u0 = vertical ? 0 : tile * w - origin, v0 = vertical ? tile * h - origin : 0;
  const double u1 = vertical ? w : (tile + 1) * w - origin;
  const double v1 = vertical ? (tile + 1) * h - origin : h;
  StartPolygon(ctx, kStripSprite, kTriangleStrip);
  AddPolygonVertex(ctx, 0, 0, float(u0), float(v0), kNoVertexColour);
  AddPolygonVertex(ctx, float(w), 0, float(u1), float(v0), kNoVertexColour);
  AddPolygonVertex(ctx, 0, float(h), float(u0), float(v1), kNoVertexColour);
  AddPolygonVertex(ctx, float(w), float(h), float(u1), float(v1), kNoVertexColour);
  EndPolygon(ctx);
}

TileReader ScreenTileReader(const ScanAnswers& answers, TileOrigin origin) {
  const int32_t columns = ScanLoopCount(answers.width), rows = ScanLoopCount(answers.height);
  std::vector<uint32_t> tilePixels(size_t(columns) * size_t(rows));
  return [answers, columns, rows, tilePixels, origin](double tile) mutable {
    const double start = origin ? origin(tile) : 0;
    ClearScreen(0);
    if (GraphicsContext) DrawScanTile(*GraphicsContext, answers, tile, start);
    uint32_t* pixel = tilePixels.data();
    for (int32_t y = 0; y < rows; ++y) {
      for (int32_t x = 0; x < columns; ++x) *pixel++ = static_cast<uint32_t>(GetPixel(x, y));
    }
    return static_cast<const uint32_t*>(tilePixels.data());
  };
}
