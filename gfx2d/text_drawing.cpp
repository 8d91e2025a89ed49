// Text runs as one triangle strip of glyph quads, and text widths.
#include "gfx2d/text_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "frame/graphics_context.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/texture_binding.h"
#include "gfx2d/vertex_array_growth.h"

namespace {

constexpr int32_t kCellColumns = 16;

// The texture coordinates of the font's cell grid.
struct FontGrid {
  FontLayout layout;
  float uStep;
  float vStep;
};

FontGrid GridOf(const SpriteRecord& record) {
  const FontLayout layout = FontLayoutFor(record.width, record.height);
  return {layout, record.maxU / kCellColumns, record.maxV / float(layout.rows)};
}

GlyphQuad QuadOf(const FontGrid& grid, const FontGlyph& glyph, int32_t g, bool proportional) {
  GlyphQuad quad{};
  quad.bottomV = float(grid.layout.rows - 1 - g / kCellColumns) * grid.vStep;
  quad.topV = quad.bottomV + grid.vStep;
  if (proportional) {
    quad.leftU = glyph.leftU;
    quad.rightU = glyph.rightU;
    quad.advance = glyph.advance;
  } else {
    quad.leftU = float(g % kCellColumns) * grid.uStep;
    quad.rightU = quad.leftU + grid.uStep;
    quad.advance = float(grid.layout.cellWidth);
  }
  return quad;
}

// Writes the quad's four corners as two strip triangles: bottom-left, top-left, bottom-right,
// top-right.
void EmitQuad(TextVertex* out, float x, float y, float z, float cellHeight, const GlyphQuad& q) {
  out[0] = {x, y + cellHeight, z, q.leftU, q.bottomV};
  out[1] = {x, y, z, q.leftU, q.topV};
  out[2] = {x + q.advance, y + cellHeight, z, q.rightU, q.bottomV};
  out[3] = {x + q.advance, y, z, q.rightU, q.topV};
}

bool ValidFont(int32_t font) {
  return font >= 0 && font < kFontCount;
}

}  // namespace

void DrawTextRun(OpenGLRainbows& ctx, int32_t font, const char* text, float x, float y, float z,
                 int32_t proportional) {
  if (!ValidFont(font) || !text || !*text) return;
  const size_t length = std::strlen(text);
  const int32_t sprite = kFirstFontSprite + font;
  BindSpriteTextures(ctx, sprite, -1, 0, nullptr);
  const FontGrid grid = GridOf(ctx.sprites[sprite]);
  const FontGlyph* glyphs = ctx.fontGlyphs[font];
  TextVertexArray& array = ctx.textVertices;
  float penX = std::ceil(x);
  const float penY = std::ceil(y);
  for (size_t start = 0; start < length; start += kTextPieceCharacters) {
    const auto piece = int32_t(std::min(length - start, kTextPieceCharacters));
    GrowVertexArray(array.data, array.count, array.capacity, array.growStep,
                    array.minimumCapacity, 4 * piece);
    int32_t drawn = 0;
    for (; drawn < piece; ++drawn) {
      const int32_t g = uint8_t(text[start + drawn]) % grid.layout.glyphs;
      if (g == 0) break;
      const GlyphQuad quad = QuadOf(grid, glyphs[g], g, proportional != 0);
      EmitQuad(&array.data[4 * drawn], penX, penY, z, float(grid.layout.cellHeight), quad);
      penX += quad.advance;
    }
    array.count = 4 * drawn;
    DrawVertexArray(array, GL_TRIANGLE_STRIP);
    if (drawn < piece) return;
  }
}

GlyphQuad FontGlyphQuad(const OpenGLRainbows& ctx, int32_t font, uint8_t character,
                        bool proportional) {
  const FontGrid grid = GridOf(ctx.sprites[kFirstFontSprite + font]);
  const int32_t g = character % grid.layout.glyphs;
  return QuadOf(grid, ctx.fontGlyphs[font][g], g, proportional);
}

uint32_t TextWidth(const OpenGLRainbows& ctx, int32_t font, const char* text,
                   int32_t proportional) {
  if (!ValidFont(font) || !text) return 0;
  if (!proportional) {
    const int32_t cellWidth = ctx.sprites[kFirstFontSprite + font].width / kCellColumns;
    return uint32_t(std::strlen(text)) * uint32_t(cellWidth);
  }
  uint32_t width = 0;
  for (const char* at = text; *at; ++at) width += ctx.fontGlyphs[font][uint8_t(*at)].advance;
  return width;
}
