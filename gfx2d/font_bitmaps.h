// Fonts as bitmaps of 16 glyph cells a row: loading a font file and measuring its glyphs for
// proportional text, the built-in character set as an image, and the font-table queries. Font n
// (0 to 31) is sprite 65504 + n with the glyph table ctx.fontGlyphs[n].
#pragma once

#include <cstdint>

#include "frame/graphics_records.h"

class OpenGLRainbows;

// A bitmap at least as wide as high holds glyphs 0 to 127 in 8 rows (128 to 255 repeat them);
// a taller one holds 256 glyphs in 16 rows. Cells are width / 16 wide.
struct FontLayout {
  int32_t glyphs;
  int32_t rows;
  int32_t cellWidth;
  int32_t cellHeight;
};
FontLayout FontLayoutFor(int32_t width, int32_t height);

// Fills the glyph table from the bitmap's ink (alpha not 0): each glyph's first used column, its
// advance (its inked width plus one column of spacing when that fits the cell, or the cell width
// when the cell is empty) and its u range in a texture paddedWidth wide. The space takes the
// advance of 'j'. False, table untouched, when a cell is wider than an advance can hold.
bool MeasureFontGlyphs(const RgbaImage& image, int32_t paddedWidth, FontGlyph* glyphs);

// Reads a BMP, else a PNG, disk or memory file into font n, keyed by the context's font
// transparent colour (black until the program sets a transparent colour), and measures it. On
// failure the font's sprite is left free. Font numbers outside 0..31 fail untouched.
bool LoadFontFile(OpenGLRainbows& ctx, int32_t font, const char* fileName);

// The built-in character set: 128 x 64 pixels of 8 x 8 cells, characters 32 to 127 in cell rows
// 2 to 7, white dots with a dark outline on transparent pixels.
void BuildDefaultFontImage(RgbaImage& image);

// The cell size of font n's bitmap (0, 0 for a font number outside 0..31).
void GetFontCellSize(const OpenGLRainbows& ctx, int32_t font, int32_t* width, int32_t* height);

// The highest font number whose bitmap is narrower than 16 pixels (none loaded), or -1.
int32_t FindFreeFont(const OpenGLRainbows& ctx);
