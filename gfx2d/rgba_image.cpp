// The picture record's buffer rules: grown on demand, never shrunk, always zeroed on resize.
#include "gfx2d/rgba_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

bool ImageSizeFits(int64_t width, int64_t height, int32_t largestSide) {
  if (width < 0 || height < 0 || width > largestSide || height > largestSide) return false;
  if (width == 0 || height == 0) return true;
  return width <= std::numeric_limits<int32_t>::max() / 4 / height;
}

bool ResizeImageForOverwrite(RgbaImage& image, int32_t width, int32_t height) {
  if (!ImageSizeFits(width, height)) return false;
  const int32_t bytes = width * height * 4;
  if (image.capacity < bytes) {
    std::free(image.pixels);
    image.hasAlpha = 1;
    image.pixels = static_cast<uint8_t*>(std::malloc(size_t(bytes)));
    image.capacity = image.pixels ? bytes : 0;
  }
  if (!image.pixels) {
    image.width = image.height = 0;
    return false;
  }
  image.width = width;
  image.height = height;
  return true;
}

bool ResizeImage(RgbaImage& image, int32_t width, int32_t height) {
  if (!ResizeImageForOverwrite(image, width, height)) return false;
  std::memset(image.pixels, 0, size_t(width) * size_t(height) * 4);
  return true;
}

bool ResizeImageForPart(RgbaImage& image, int32_t width, int32_t height, ImagePart* part) {
  if (!part) return ResizeImageForOverwrite(image, width, height);
  part->pictureWidth = width;
  part->pictureHeight = height;
  const int32_t keptWidth = std::clamp(part->keepWidth, 0, width);
  const int32_t keptHeight = std::clamp(part->keepHeight, 0, height);
  if (keptWidth > 0 && keptHeight > 0) return ResizeImageForOverwrite(image, keptWidth, keptHeight);
  image.width = image.height = 0;
  return true;
}

void ReleaseImage(RgbaImage& image) {
  std::free(image.pixels);
  image = RgbaImage{};
}

bool DoubleImageSize(RgbaImage& image) {
  const int32_t width = image.width;
  const int32_t height = image.height;
  if (!image.pixels || !ImageSizeFits(int64_t(width) * 2, int64_t(height) * 2)) return false;
  const size_t outRow = size_t(width) * 8;
  auto* doubled = static_cast<uint8_t*>(std::malloc(outRow * size_t(height) * 2));
  if (!doubled) return false;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = image.pixels + size_t(y) * width * 4;
    uint8_t* out = doubled + outRow * 2 * size_t(y);
    for (int32_t x = 0; x < width; ++x) {
      std::memcpy(out + size_t(x) * 8, in + size_t(x) * 4, 4);
      std::memcpy(out + size_t(x) * 8 + 4, in + size_t(x) * 4, 4);
    }
    std::memcpy(out + outRow, out, outRow);
  }
  const bool resized = ResizeImage(image, width * 2, height * 2);
  if (resized) std::memcpy(image.pixels, doubled, outRow * size_t(height) * 2);
  std::free(doubled);
  return resized;
}
