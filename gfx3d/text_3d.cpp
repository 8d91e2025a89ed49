// Billboards and 3D text through the text vertex array.
#include "gfx3d/text_3d.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/text_drawing.h"
#include "gfx2d/texture_binding.h"
#include "gfx2d/vertex_array_growth.h"
#include "gfx3d/scene.h"

namespace {

constexpr int32_t kCellColumns = 16;

TextVertexArray& TextArrayFor(OpenGLRainbows& ctx, int32_t vertices) {
  TextVertexArray& array = ctx.textVertices;
  GrowVertexArray(array.data, array.count, array.capacity, array.growStep, array.minimumCapacity,
                  vertices);
  array.count = vertices;
  return array;
}

TextVertex At(Vec3 p, float u, float v) {
  return {p.x, p.y, p.z, u, v};
}

// Culling and lighting off for the text, each switched on again by its destructor when it was
// on.
class TextStateGuard {
 public:
  TextStateGuard() : cull_(glIsEnabled(GL_CULL_FACE)), lighting_(glIsEnabled(GL_LIGHTING)) {
    if (cull_) CachedDisable(kCapCullFace);
    if (lighting_) CachedDisable(kCapLighting);
  }
  ~TextStateGuard() {
    if (cull_) CachedEnable(kCapCullFace);
    if (lighting_) CachedEnable(kCapLighting);
  }
  TextStateGuard(const TextStateGuard&) = delete;
  TextStateGuard& operator=(const TextStateGuard&) = delete;

 private:
  bool cull_;
  bool lighting_;
};

void DrawScreenLabel(OpenGLRainbows& ctx, const Rainbows3D& scene, int32_t font, const char* text,
                     Vec3 point, int32_t proportional) {
  const Vec4 eyePoint = scene.camera * Vec4{point.x, point.y, point.z, 1};
  const Vec4 clip = scene.projection * eyePoint;
  if (clip.w == 0) return;
  const Vec3 n{clip.x / clip.w, clip.y / clip.w, clip.z / clip.w};
  const float vx = float(ctx.viewportX), vy = float(ctx.viewportY);
  const float vw = float(ctx.viewportWidth), vh = float(ctx.viewportHeight);
  const float sx = vx + (n.x + 1) * vw * 0.5f;
  const float sy = vh - (vy + (n.y + 1) * vh * 0.5f);
  // The centring measures with font 0's cells whatever font is drawn.
  const SpriteRecord& font0 = ctx.sprites[kFirstFontSprite];
  const float cellWidth0 = float(font0.width / kCellColumns), cellHeight0 = float(font0.height / 8);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, vw, vh, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const float length = float(std::strlen(text));
  DrawTextRun(ctx, font, text, sx - vx - length * cellWidth0 * 0.5f, vy + sy - cellHeight0, -n.z,
              proportional);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void DrawSceneText(OpenGLRainbows& ctx, const Rainbows3D& scene, int32_t font, const char* text,
                   Vec3 point, float scale, int32_t proportional) {
  const Mat4& camera = scene.camera;
  const Vec3 right{camera.m[0], camera.m[4], camera.m[8]};
  const Vec3 up{camera.m[1], camera.m[5], camera.m[9]};
  const int32_t sprite = kFirstFontSprite + font;
  BindSpriteTextures(ctx, sprite, -1, 0, nullptr);
  const float cellWidth = float(ctx.sprites[sprite].width / kCellColumns);
  const size_t length = std::strlen(text);
  float total = 0;
  for (size_t i = 0; i < length; ++i) {
    total += FontGlyphQuad(ctx, font, uint8_t(text[i]), proportional != 0).advance * scale;
  }
  const Vec3 height = up * (cellWidth * scale);
  Vec3 left = point - right * (total * 0.5f);
  for (size_t start = 0; start < length; start += kTextPieceCharacters) {
    const auto piece = int32_t(std::min(length - start, kTextPieceCharacters));
    TextVertexArray& array = TextArrayFor(ctx, 4 * piece);
    for (int32_t i = 0; i < piece; ++i) {
      const uint8_t character = uint8_t(text[start + i]);
      const GlyphQuad quad = FontGlyphQuad(ctx, font, character, proportional != 0);
      const Vec3 next = left + right * (quad.advance * scale);
      TextVertex* out = &array.data[4 * i];
      out[0] = At(left + height, quad.leftU, quad.topV);
      out[1] = At(left, quad.leftU, quad.bottomV);
      out[2] = At(next + height, quad.rightU, quad.topV);
      out[3] = At(next, quad.rightU, quad.bottomV);
      left = next;
    }
    DrawVertexArray(array, GL_TRIANGLE_STRIP);
  }
}

}  // namespace

void DrawBillboard(OpenGLRainbows& ctx, int32_t sprite, float x, float y, float z, float scale) {
  if (sprite < 0 || sprite >= kSpriteCount) return;
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  const Vec3 right{m[0], m[4], m[8]};
  const Vec3 up{m[1], m[5], m[9]};
  glNormal3f(m[2], m[6], m[10]);
  const SpriteRecord& record = ctx.sprites[sprite];
  const float halfWidth = float(record.width / 4) * scale;
  const float height = float(record.height / 2) * scale;
  const Vec3 p{x, y, z};
  const Vec3 a = p - right * halfWidth, b = p + right * halfWidth;
  const Vec3 c = a + up * height, d = b + up * height;
  // Half a texel in from the image's edges, so clamping never shows the padding.
  const float us =
      record.paddedWidth ? (float(record.width) - 0.5f) / float(record.paddedWidth) : 0;
  const float vs =
      record.paddedHeight ? (float(record.height) - 0.5f) / float(record.paddedHeight) : 0;
  BindSpriteTextures(ctx, sprite, -1, 0, nullptr);
  TextVertexArray& array = TextArrayFor(ctx, 4);
  array.data[0] = At(a, 0, 0);
  array.data[1] = At(b, us, 0);
  array.data[2] = At(d, us, vs);
  array.data[3] = At(c, 0, vs);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  DrawVertexArray(array, GL_TRIANGLE_FAN);
}

void PrintText3D(OpenGLRainbows& ctx, int32_t font, const char* text, float x, float y, float z,
                 float scale, int32_t proportional) {
  if (!ctx.scene || font < 0 || font >= kFontCount || !text || !*text) return;
  TextStateGuard guard;
  if (scale == 0) {
    DrawScreenLabel(ctx, *ctx.scene, font, text, {x, y, z}, proportional);
  } else {
    DrawSceneText(ctx, *ctx.scene, font, text, {x, y, z}, scale, proportional);
  }
}
