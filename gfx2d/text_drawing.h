// Text in the bitmap fonts: a run of glyph quads at a screen position, and a string's width.
#pragma once

#include <cstddef>
#include <cstdint>

class OpenGLRainbows;

// Text is drawn this many characters at a time, so that a text of any length needs a vertex
// array of bounded size; the strip's quads meet edge to edge, so the pieces draw what one would.
inline constexpr size_t kTextPieceCharacters = 4096;

// Draws the text from pen (ceil(x), ceil(y)), its top-left, at depth z, in fixed cells or, with
// proportional, each glyph's measured advance. The run stops before the first character whose
// glyph index is 0. Font numbers outside 0..31 draw nothing.
void DrawTextRun(OpenGLRainbows& ctx, int32_t font, const char* text, float x, float y, float z,
                 int32_t proportional);

// The texture range of one glyph, and the width its quad takes (in pixels).
struct GlyphQuad {
  float leftU, rightU, bottomV, topV;
  float advance;
};
// The quad of a character of font 0..31: its glyph's cell, or its measured range and advance
// when proportional.
GlyphQuad FontGlyphQuad(const OpenGLRainbows& ctx, int32_t font, uint8_t character,
                        bool proportional);

// Fixed: the length times the font's cell width. Proportional: the sum of the advances of the
// glyphs that the bytes themselves index (0 to 255, whatever the font's glyph count).
uint32_t TextWidth(const OpenGLRainbows& ctx, int32_t font, const char* text, int32_t proportional);
