// The tile quad: four corners of a triangle strip, texture positions in image pixels.
#include "tool/scan_tile_drawing.h"

#include "gfx2d/polygon_batch.h"

void DrawScanTile(OpenGLRainbows& ctx, const ScanAnswers& answers, double tile) {
  const double w = answers.width, h = answers.height;
  const bool vertical = answers.readType != 0;
  // Texture origin of the tile and of the corner opposite it.
  const double u0 = vertical ? 0 : tile * w, v0 = vertical ? tile * h : 0;
  const double u1 = vertical ? w : (tile + 1) * w, v1 = vertical ? (tile + 1) * h : h;
  StartPolygon(ctx, kStripSprite, kTriangleStrip);
  AddPolygonVertex(ctx, 0, 0, float(u0), float(v0), kNoVertexColour);
  AddPolygonVertex(ctx, float(w), 0, float(u1), float(v0), kNoVertexColour);
  AddPolygonVertex(ctx, 0, float(h), float(u0), float(v1), kNoVertexColour);
  AddPolygonVertex(ctx, float(w), float(h), float(u1), float(v1), kNoVertexColour);
  EndPolygon(ctx);
}
