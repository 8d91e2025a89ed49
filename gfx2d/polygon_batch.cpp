// The polygon batch over OpenGL client arrays, the quad fan and the text vertex array draw.
#include "gfx2d/polygon_batch.h"

#include <GL/gl.h>

#include <cstdlib>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/texture_binding.h"
#include "gfx2d/vertex_array_growth.h"

namespace {

struct PolygonBatch {
  bool joinPending = false;
  float vScale = 1.0f;
  float uScale = 1.0f;
  bool coloursUsed = false;
  int32_t mode = kTriangleFan;
  PolygonVertex* data = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;
  int32_t growStep = 128;
  int32_t minimumCapacity = 512;

  ~PolygonBatch() { std::free(data); }

  void Reserve(int32_t need) {
    GrowVertexArray(data, count, capacity, growStep, minimumCapacity, need);
  }
};

PolygonBatch Batch;

bool SpriteBound() {
  return GlStateCache.boundSprite >= 0;
}

int32_t BoundSpriteHeight(const OpenGLRainbows& ctx) {
  const int32_t sprite = GlStateCache.boundSprite;
  return sprite < kSpriteCount ? ctx.sprites[sprite].height : 0;
}

uint8_t VertexAlpha(const OpenGLRainbows& ctx, uint32_t colour) {
  if (colour == ctx.transparentColour) return 0;
  if (ctx.drawAlpha == 1.0f) return 255;
  return uint8_t(ctx.drawAlpha * 255.0f);
}

bool DrawsAsGlMode(int32_t mode, GLenum& glMode) {
  constexpr GLenum kModes[] = {GL_TRIANGLE_FAN, GL_TRIANGLES, GL_TRIANGLE_STRIP};
  if (mode < 0 || mode > 2) return false;
  glMode = kModes[mode];
  return true;
}

void EnableColourArray() {
  CachedEnable(kCapDither);
  glShadeModel(GL_SMOOTH);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(PolygonVertex), &Batch.data->r);
}

void DisableColourArray(const OpenGLRainbows& ctx) {
  // A draw with a colour array leaves GL's current colour undefined behind the cache's back.
  GlStateCache.colourKnown = false;
  CachedColour(1.0f, 1.0f, 1.0f, ctx.drawAlpha);
  glDisableClientState(GL_COLOR_ARRAY);
  glShadeModel(GL_FLAT);
  CachedDisable(kCapDither);
}

}  // namespace

void StartPolygon(OpenGLRainbows& ctx, int32_t sprite, int32_t mode) {
  BindSpriteTextures(ctx, sprite, -1, 0, nullptr);
  Batch.count = 0;
  if (Batch.capacity < 3) Batch.Reserve(2);
  Batch.coloursUsed = false;
  Batch.joinPending = false;
  Batch.mode = mode;
  if (sprite >= 0 && sprite < kSpriteCount) {
    Batch.uScale = 1.0f / ctx.sprites[sprite].paddedWidth;
    Batch.vScale = 1.0f / ctx.sprites[sprite].paddedHeight;
  }
}

void AddPolygonVertex(const OpenGLRainbows& ctx, float x, float y, float tx, float ty,
                      uint32_t colour) {
  const int32_t newCount = Batch.count + (Batch.joinPending ? 1 : 0) + 1;
  Batch.Reserve(newCount);
  PolygonVertex& vertex = Batch.data[Batch.count];
  vertex.x = x;
  vertex.y = y;
  if (SpriteBound()) {
    vertex.u = tx * Batch.uScale;
    vertex.v = (BoundSpriteHeight(ctx) - ty) * Batch.vScale;
  }
  if (colour == kNoVertexColour) {
    vertex.r = vertex.g = vertex.b = 255;
  } else {
    Batch.coloursUsed = true;
    vertex.r = uint8_t(colour);
    vertex.g = uint8_t(colour >> 8);
    vertex.b = uint8_t(colour >> 16);
  }
  vertex.a = VertexAlpha(ctx, colour);
  if (Batch.joinPending) {
    Batch.data[Batch.count + 1] = vertex;
    Batch.joinPending = false;
  }
  Batch.count = newCount;
}

void NewPolygonStrip() {
  if (Batch.count == 0 || Batch.joinPending) return;
  Batch.joinPending = true;
  Batch.Reserve(Batch.count + 1);
  Batch.data[Batch.count] = Batch.data[Batch.count - 1];
  ++Batch.count;
}

void EndPolygon(OpenGLRainbows& ctx) {
  FlushSpriteBatch();
  if (!Batch.data) return;  // nothing was ever started
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(PolygonVertex), &Batch.data->x);
  if (SpriteBound()) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(PolygonVertex), &Batch.data->u);
  }
  if (Batch.coloursUsed || ctx.drawAlpha != 1.0f) {
    Batch.coloursUsed = true;
    EnableColourArray();
  }
  ApplySpriteFilter(ctx);
  GLenum glMode = 0;
  InvalidateScreenReads();
  if (DrawsAsGlMode(Batch.mode, glMode)) glDrawArrays(glMode, 0, Batch.count);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  if (Batch.coloursUsed) DisableColourArray(ctx);
}

const PolygonVertex* PolygonBatchVertices() {
  return Batch.data;
}
int32_t PolygonBatchCount() {
  return Batch.count;
}

void ClampBoundTextureEdges() {
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void DrawQuadFan(const QuadVertex (&corners)[4]) {
  FlushSpriteBatch();
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &corners[0].x);
  const bool textured = SpriteBound();
  if (textured) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &corners[0].u);
  }
  ClampBoundTextureEdges();
  InvalidateScreenReads();
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void DrawVertexArray(const TextVertexArray& array, uint32_t glMode) {
  FlushSpriteBatch();
  if (array.count == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(TextVertex), &array.data->x);
  if (SpriteBound()) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TextVertex), &array.data->u);
  }
  InvalidateScreenReads();
  glDrawArrays(glMode, 0, array.count);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
