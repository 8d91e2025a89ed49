// Font bitmaps: loading and glyph measurement, the built-in character set, font queries.
#include "gfx2d/font_bitmaps.h"

#include "frame/graphics_context.h"
#include "gfx2d/bmp_file.h"
#include "gfx2d/png_file.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"

namespace {

constexpr int32_t kCellColumns = 16;
constexpr int32_t kSpace = 32;
constexpr int32_t kMeasureOfSpace = 'j';

// Characters 32 to 127 of the built-in set, 5 x 6 dots each: bit r x 5 + c is column c of row r.
constexpr uint32_t kBuiltInDots[96] = {
    0x00000000, 0x08021080, 0x00002940, 0x15F57D40, 0x08E619C4, 0x14222140, 0x0ED114E0, 0x00001080,
    0x08210880, 0x04421040, 0x09575480, 0x08471080, 0x04400000, 0x00070000, 0x08000000, 0x04222100,
    0x00E5294E, 0x004210C4, 0x00E1390E, 0x00E4390E, 0x0084394A, 0x00E4384E, 0x00E5384E, 0x0042210E,
    0x00E5394E, 0x00E4394E, 0x00020080, 0x00220080, 0x00820888, 0x000701C0, 0x00222082, 0x0040310E,
    0x00E0B526, 0x00A5394E, 0x00E5194E, 0x00E5094E, 0x00E52946, 0x00E1384E, 0x0021384E, 0x00E5284E,
    0x00A5394A, 0x00E2108E, 0x00E5210C, 0x00A5194A, 0x00E10842, 0x015AD6BF, 0x00A5294E, 0x00E5294E,
    0x0021394E, 0x00F294A7, 0x00A5194E, 0x00E4384E, 0x0042108E, 0x00E5294A, 0x0045294A, 0x01FAD6B5,
    0x00A5114A, 0x0042394A, 0x00E1110E, 0x00610846, 0x01041041, 0x00621086, 0x00000144, 0x00E00000,
    0x00000082, 0x00E53000, 0x00E53842, 0x00E13800, 0x00E53908, 0x08273800, 0x00423888, 0x08873800,
    0x00A51842, 0x00421004, 0x04421004, 0x00A32842, 0x00421084, 0x015ABC00, 0x00A51800, 0x00E53800,
    0x04E51800, 0x10E53000, 0x00253800, 0x00E409C0, 0x00C23884, 0x00C52800, 0x00452800, 0x00EAD400,
    0x00A22800, 0x1C872800, 0x00E121C0, 0x00821888, 0x00421084, 0x00223082, 0x0002A800, 0x3F18C63F};

constexpr int32_t kDotColumns = 5;
constexpr int32_t kDotRows = 6;
constexpr int32_t kBuiltInCell = 8;

bool Dot(uint32_t dots, int32_t c, int32_t r) {
  if (c < 0 || c >= kDotColumns || r < 0 || r >= kDotRows) return false;
  return (dots >> (r * kDotColumns + c)) & 1;
}

bool NextToDot(uint32_t dots, int32_t c, int32_t r) {
  return Dot(dots, c - 1, r) || Dot(dots, c + 1, r) || Dot(dots, c, r - 1) || Dot(dots, c, r + 1);
}

void SetPixel(RgbaImage& image, int32_t x, int32_t y, uint8_t grey) {
  uint8_t* pixel = &image.pixels[(size_t(y) * size_t(image.width) + x) * 4];
  pixel[0] = pixel[1] = pixel[2] = grey;
  pixel[3] = 255;
}

void DrawBuiltInCharacter(RgbaImage& image, int32_t index) {
  const uint32_t dots = kBuiltInDots[index];
  const int32_t cellX = index % kCellColumns * kBuiltInCell;
  const int32_t cellY = (index / kCellColumns + 2) * kBuiltInCell;
  for (int32_t py = 0; py < kBuiltInCell; ++py) {
    for (int32_t px = 0; px < kBuiltInCell - 1; ++px) {
      const int32_t c = px - 1, r = py - 1;
      if (Dot(dots, c, r)) {
        SetPixel(image, cellX + px, cellY + py, 255);
      } else if (NextToDot(dots, c, r)) {
        SetPixel(image, cellX + px, cellY + py, 8);
      }
    }
  }
}

bool ColumnInked(const RgbaImage& image, int32_t x, int32_t top, int32_t height) {
  for (int32_t y = top; y < top + height; ++y) {
    if (image.pixels[(size_t(y) * size_t(image.width) + x) * 4 + 3] != 0) return true;
  }
  return false;
}

FontGlyph MeasureGlyph(const RgbaImage& image, const FontLayout& layout, int32_t paddedWidth,
                       int32_t glyph) {
  const int32_t cw = layout.cellWidth;
  const int32_t cellX = glyph % kCellColumns * cw;
  const int32_t cellY = glyph / kCellColumns * layout.cellHeight;
  int32_t left = 0;
  while (left < cw && !ColumnInked(image, cellX + left, cellY, layout.cellHeight)) ++left;
  if (left == cw) left = 0;
  int32_t span = 0;
  for (int32_t column = cw - 1; column >= left; --column) {
    if (ColumnInked(image, cellX + column, cellY, layout.cellHeight)) {
      span = column - left + 1;
      break;
    }
  }
  FontGlyph measured{};
  measured.left = uint8_t(span == 0 ? 0 : left);
  if (span > 0 && left + span < cw) ++span;
  measured.advance = uint8_t(span == 0 ? cw : span);
  measured.leftU = float(cellX + left) / float(paddedWidth);
  measured.rightU = float(cellX + left + span) / float(paddedWidth);
  return measured;
}

// The measurement fills only the first two bytes and the u range.
void StoreMeasured(FontGlyph& glyph, const FontGlyph& measured) {
  glyph.left = measured.left;
  glyph.advance = measured.advance;
  glyph.leftU = measured.leftU;
  glyph.rightU = measured.rightU;
}

bool ReadFontImage(RgbaImage& image, const char* fileName, int32_t transparent) {
  const int32_t largest = LargestSpriteSide();
  return LoadBmpImage(image, fileName, transparent, largest) ||
         LoadPngImage(image, fileName, transparent, largest);
}

bool ValidFont(int32_t font) {
  return font >= 0 && font < kFontCount;
}

}  // namespace

FontLayout FontLayoutFor(int32_t width, int32_t height) {
  if (width >= height) return {128, 8, width / kCellColumns, height / 8};
  return {256, 16, width / kCellColumns, height / 16};
}

bool MeasureFontGlyphs(const RgbaImage& image, int32_t paddedWidth, FontGlyph* glyphs) {
  const FontLayout layout = FontLayoutFor(image.width, image.height);
  if (layout.cellWidth > 255) return false;
  for (int32_t g = 0; g < layout.glyphs; ++g) {
    StoreMeasured(glyphs[g], MeasureGlyph(image, layout, paddedWidth, g));
    if (g == kMeasureOfSpace) {
      const FontGlyph& j = glyphs[g];
      glyphs[kSpace].advance = j.advance;
      glyphs[kSpace].leftU = 0.0f;
      glyphs[kSpace].rightU = j.rightU - j.leftU;
    }
    if (layout.glyphs == 128) StoreMeasured(glyphs[g + 128], glyphs[g]);
  }
  return true;
}

bool LoadFontFile(OpenGLRainbows& ctx, int32_t font, const char* fileName) {
  if (!ValidFont(font)) return false;
  const int32_t sprite = kFirstFontSprite + font;
  const auto transparent = int32_t(ctx.fontTransparentColour);
  RgbaImage image;
  const bool read = fileName && ReadFontImage(image, fileName, transparent) &&
                    MeasureFontGlyphs(image, PaddedSize(image.width), ctx.fontGlyphs[font]);
  const bool made = read && CreateSpriteFromImage(ctx, sprite, image, transparent, false);
  if (!made) FreeSprite(ctx, sprite);
  ReleaseImage(image);
  return made;
}

void BuildDefaultFontImage(RgbaImage& image) {
  if (!ResizeImage(image, 16 * kBuiltInCell, 8 * kBuiltInCell)) return;
  for (int32_t index = 0; index < 96; ++index) DrawBuiltInCharacter(image, index);
}

void GetFontCellSize(const OpenGLRainbows& ctx, int32_t font, int32_t* width, int32_t* height) {
  if (!ValidFont(font)) {
    *width = *height = 0;
    return;
  }
  const SpriteRecord& record = ctx.sprites[kFirstFontSprite + font];
  const FontLayout layout = FontLayoutFor(record.width, record.height);
  *width = layout.cellWidth;
  *height = layout.cellHeight;
}

int32_t FindFreeFont(const OpenGLRainbows& ctx) {
  for (int32_t font = kFontCount - 1; font >= 0; --font) {
    if (ctx.sprites[kFirstFontSprite + font].width / kCellColumns == 0) return font;
  }
  return -1;
}
