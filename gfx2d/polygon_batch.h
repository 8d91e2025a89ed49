// The polygon batch the program fills corner by corner, and the two low drawing routines every
// sprite and text draw ends in (a four-corner fan and a text vertex array).
#pragma once

#include <cstdint>

#include "frame/graphics_records.h"

class OpenGLRainbows;

// GL reads these records straight from the arrays, so the layouts are fixed.
struct PolygonVertex {
  float x, y, u, v;
  uint8_t r, g, b, a;
};
static_assert(sizeof(PolygonVertex) == 20);

struct TextVertex {
  float x, y, z, u, v;
};
static_assert(sizeof(TextVertex) == 20);

struct QuadVertex {
  float x, y, u, v;
};

enum PolygonMode : int32_t { kTriangleFan = 0, kTriangles = 1, kTriangleStrip = 2 };

// The colour of a vertex that keeps the texture's colours.
constexpr uint32_t kNoVertexColour = 0xFFFFFF;

// Binds the sprite (-1: untextured) and empties the batch.
void StartPolygon(OpenGLRainbows& ctx, int32_t sprite, int32_t mode);
// x, y in screen pixels; tx, ty in pixels of the sprite image (top-left origin); colour
// 0x00BBGGRR or kNoVertexColour.
void AddPolygonVertex(const OpenGLRainbows& ctx, float x, float y, float tx, float ty,
                      uint32_t colour);
// Joins the next vertices to the last ones by degenerate triangles (a new strip).
void NewPolygonStrip();
// Draws the batch; it stays filled, so it may be drawn again.
void EndPolygon(OpenGLRainbows& ctx);

// The batch as filled so far, for tests and the benchmark.
const PolygonVertex* PolygonBatchVertices();
int32_t PolygonBatchCount();

void DrawQuadFan(const QuadVertex (&corners)[4]);
// The bound texture's edges clamped, as a four-corner fan draws it.
void ClampBoundTextureEdges();
void DrawVertexArray(const TextVertexArray& array, uint32_t glMode);
