// The records the graphics context holds for the 2D layer: sprites, font glyphs, off-screen
// screens, background pictures, and the image record the frame passes to the 2D layer when it
// builds the built-in font. The frame lays them out; the 2D layer gives them their behaviour.
#pragma once

#include <cstdint>

// One sprite slot. A free slot has width 0.
struct SpriteRecord {
  uint32_t texture;
  uint32_t mipmappedTexture;
  float maxU;
  float maxV;
  int16_t paddedWidth;
  int16_t paddedHeight;
  int16_t width;
  int16_t height;
  uint16_t frameWidth;
  uint16_t frameHeight;
};

// Sprite ids: 0..65503 belong to the program, 65504 + n to font n; one spare record at the end.
constexpr int32_t kSpriteCount = 65537;
constexpr int32_t kFirstFontSprite = 65504;
constexpr int32_t kFontCount = 32;
constexpr int32_t kGlyphsPerFont = 256;

struct FontGlyph {
  uint8_t left;  // first used column of the glyph; 0 for the built-in font
  uint8_t advance;
  uint8_t unused[2];
  float leftU;
  float rightU;
};
static_assert(sizeof(FontGlyph) == 12);

// One off-screen drawing target; sprite -1 until a screen is made on it.
struct OffscreenScreen {
  uint32_t framebuffer = 0;
  uint32_t depthBuffer = 0;
  int32_t savedBinding = -1;
  int32_t width = 0;
  int32_t height = 0;
  int32_t sprite = -1;
};
constexpr int32_t kOffscreenScreenCount = 32;

// A picture cut into at most 8 x 8 square texture tiles: tilesA across, tilesB down, tile (a, b)
// at index a * 8 + b. A tile's picture part (tileWidths x tileHeights) sits in the texture's
// lower-left corner.
struct BackgroundPicture {
  uint32_t tiles[64];
  int16_t textureWidths[64];
  int16_t textureHeights[64];
  int16_t tileWidths[64];
  int16_t tileHeights[64];
  uint8_t tilesA;
  uint8_t tilesB;
};
constexpr int32_t kBackgroundPictureCount = 8;
constexpr int32_t kSpareGrabTiles = kBackgroundPictureCount;

// An RGBA picture, rows top first, four bytes a pixel; the record owns its pixels.
struct RgbaImage {
  uint8_t hasAlpha = 1;
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;
  int32_t capacity = 0;
};

// The vertices of one text call, grown by the 2D layer (malloc family; released with free).
struct TextVertex;
struct TextVertexArray {
  TextVertex* data = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;
  int32_t growStep = 128;
  int32_t minimumCapacity = 512;
};
