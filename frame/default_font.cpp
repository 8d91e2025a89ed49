// The built-in font: the 2D layer's font image uploaded as a font sprite, glyphs on a grid.
#include "frame/default_font.h"

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"

namespace {

constexpr int32_t kGridColumns = 16;

void FillGridGlyphs(FontGlyph* glyphs, int32_t imageWidth) {
  const int32_t cell = imageWidth / kGridColumns;
  for (int32_t i = 0; i < kGlyphsPerFont; ++i) {
    const int32_t left = (i % kGridColumns) * cell;
    glyphs[i] = FontGlyph{0, static_cast<uint8_t>(cell), {0, 0},
                          static_cast<float>(left) / imageWidth,
                          static_cast<float>(left + cell) / imageWidth};
  }
}

}  // namespace

bool CreateDefaultFont(OpenGLRainbows& ctx, int32_t font) {
  if (font < 0 || font >= kFontCount) return false;
  const Gfx2dServices& gfx = Gfx2d();
  RgbaImage image;
  gfx.buildDefaultFontImage(image);
  SpriteRecord& record = ctx.sprites[kFirstFontSprite + font];
  const bool uploaded =
      image.width > 0 && image.height > 0 &&
      gfx.uploadImageToTexture(image, 0, 0, image.width, image.height, &record.texture, nullptr,
                               false, true);
  if (uploaded) {
    record.paddedWidth = record.width = static_cast<int16_t>(image.width);
    record.paddedHeight = record.height = static_cast<int16_t>(image.height);
    record.maxU = record.maxV = 1.0f;
    FillGridGlyphs(ctx.fontGlyphs[font], image.width);
  }
  gfx.releaseImage(image);
  return uploaded;
}
