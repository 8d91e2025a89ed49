// The held sprite draws: one vertex array of quads, or of four-corner fans drawn by one
// multi-draw call, so each keeps its own fan exactly as a lone draw makes it.
#define GL_GLEXT_PROTOTYPES 1
#include "gfx2d/sprite_batch.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "frame/graphics_context.h"

namespace {

struct SpriteBatch {
  bool on = true;
  int32_t sprite = -1;
  uint32_t texture = 0;
  int32_t smoothing = 0;
  SpriteShape shape = SpriteShape::kQuad;
  std::vector<QuadVertex> vertices;
  std::vector<GLint> fanFirsts;
  std::vector<GLsizei> fanCounts;
};

SpriteBatch& Pending() {
  static SpriteBatch batch;
  return batch;
}

void Append(SpriteBatch& batch, const QuadVertex (&corners)[4]) {
  batch.vertices.insert(batch.vertices.end(), corners, corners + 4);
}

void DrawFans(SpriteBatch& batch, GLsizei vertexCount) {
  const size_t fans = size_t(vertexCount / 4);
  while (batch.fanFirsts.size() < fans) {
    batch.fanFirsts.push_back(GLint(batch.fanFirsts.size() * 4));
    batch.fanCounts.push_back(4);
  }
  glMultiDrawArrays(GL_TRIANGLE_FAN, batch.fanFirsts.data(), batch.fanCounts.data(),
                    GLsizei(fans));
}

}  // namespace

bool JoinSpriteBatch(const OpenGLRainbows& ctx, int32_t sprite, SpriteShape shape,
                     const QuadVertex (&corners)[4]) {
  SpriteBatch& batch = Pending();
  if (batch.vertices.empty() || batch.sprite != sprite || batch.shape != shape ||
      batch.texture != ctx.sprites[sprite].texture || batch.smoothing != ctx.spriteSmoothing) {
    return false;
  }
  Append(batch, corners);
  return true;
}

void StartSpriteBatch(const OpenGLRainbows& ctx, int32_t sprite, SpriteShape shape,
                      const QuadVertex (&corners)[4]) {
  SpriteBatch& batch = Pending();
  batch.vertices.clear();
  batch.sprite = sprite;
  batch.texture = ctx.sprites[sprite].texture;
  batch.smoothing = ctx.spriteSmoothing;
  batch.shape = shape;
  Append(batch, corners);
}

void FlushSpriteBatch() {
  SpriteBatch& batch = Pending();
  if (batch.vertices.empty()) return;
  const GLsizei count = GLsizei(batch.vertices.size());
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &batch.vertices[0].x);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &batch.vertices[0].u);
  if (batch.shape == SpriteShape::kQuad) {
    glDrawArrays(GL_QUADS, 0, count);
  } else {
    DrawFans(batch, count);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  batch.vertices.clear();
}

void SetSpriteBatching(bool on) {
  FlushSpriteBatch();
  Pending().on = on;
}

bool SpriteBatching() {
  return Pending().on;
}
