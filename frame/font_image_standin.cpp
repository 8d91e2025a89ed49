// Stand-in for the 2D layer's built-in font image and image release: a blank 128 x 64 picture of
// the real size, so the font sprite and its glyph table come out as they will with the real one.
#include <cstdlib>
#include <cstring>

#include "frame/gfx2d_standins.h"

void StandInBuildDefaultFontImage(RgbaImage& image) {
  const int32_t bytes = 128 * 64 * 4;
  if (image.capacity < bytes) {
    std::free(image.pixels);
    image.pixels = static_cast<uint8_t*>(std::malloc(bytes));
    image.capacity = image.pixels ? bytes : 0;
    image.hasAlpha = 1;
  }
  if (!image.pixels) return;
  image.width = 128;
  image.height = 64;
  std::memset(image.pixels, 0, bytes);
}

void StandInReleaseImage(RgbaImage& image) {
  std::free(image.pixels);
  image = RgbaImage{};
}
