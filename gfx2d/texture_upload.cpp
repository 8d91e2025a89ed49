// Texture upload, bleeding and normal maps.
#include "gfx2d/texture_upload.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "platform/window.h"

namespace {

void SetUnpackState() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

void CopyFlippedRectangle(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t paddedW, int32_t paddedH, uint8_t* texels) {
  const int32_t lastX = std::min({x + paddedW, image.width, x + width});
  const int32_t lastY = std::min({y + paddedH, image.height, y + height});
  const int32_t firstX = std::max(x, 0);
  if (firstX >= lastX || !image.pixels) return;
  for (int32_t sy = std::max(y, 0); sy < lastY; ++sy) {
    std::memcpy(&texels[(size_t(y + height - 1 - sy) * paddedW + (firstX - x)) * 4],
                &image.pixels[(size_t(sy) * image.width + firstX) * 4], size_t(lastX - firstX) * 4);
  }
}

void TexImage(int32_t level, int32_t width, int32_t height, const uint8_t* texels) {
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
}

void SetRepeatWrap() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void UploadMipmappedCopy(uint8_t* texels, int32_t width, int32_t height, uint32_t* texture) {
  SetUnpackState();
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  SetRepeatWrap();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  HalveToSquare(texels, width, height);
  std::vector<uint8_t> next(size_t(width / 2) * (width / 2) * 4);
  int32_t level = 0;
  for (int32_t size = width;; size /= 2) {
    TexImage(level++, size, size, texels);
    if (size == 1) break;
    ReduceMipLevel(texels, size, next.data());
    std::memcpy(texels, next.data(), size_t(size / 2) * (size / 2) * 4);
  }
}

uint8_t Mean(uint32_t sum, uint32_t count) {
  return uint8_t(sum / count);
}

}  // namespace

// Sizes past the largest power of two an int holds get that power: no texture is that large.
int32_t PaddedSize(int32_t size) {
  constexpr int32_t kLargestPadding = 1 << 30;
  int32_t padded = 16;
  while (padded < size && padded < kLargestPadding) padded *= 2;
  return padded;
}

bool UploadImageToTexture(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t* texture, uint32_t* mipmappedTexture,
                          bool normalMap, bool nearest) {
  FlushSpriteBatch();
  const int32_t maxSize = platform::MaxTextureSize();
  if (width == 0) width = image.width - x;
  if (height == 0) height = image.height - y;
  if (width < 1 || height < 1) return false;
  width = std::min(width, maxSize);
  height = std::min(height, maxSize);
  const int32_t paddedW = PaddedSize(width);
  const int32_t paddedH = PaddedSize(height);
  auto* texels = static_cast<uint8_t*>(std::calloc(size_t(paddedW) * paddedH, 4));
  if (!texels) return false;
  CopyFlippedRectangle(image, x, y, width, height, paddedW, paddedH, texels);
  SetUnpackState();
  // Deleting and binding the name again gives a fresh texture object under the old name.
  if (*texture == 0) {
    glGenTextures(1, texture);
  } else {
    glDeleteTextures(1, texture);
  }
  glBindTexture(GL_TEXTURE_2D, *texture);
  SetRepeatWrap();
  const GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  // Over the padded buffer, so the normal map's wrap-around matches the texture's.
  if (normalMap) MakeNormalMapPixels(texels, paddedW, paddedH);
  // The texture may be the one an off-screen screen draws into.
  InvalidateScreenReads();
  TexImage(0, paddedW, paddedH, texels);
  if (mipmappedTexture) UploadMipmappedCopy(texels, paddedW, paddedH, mipmappedTexture);
  std::free(texels);
  return true;
}

void HalveToSquare(uint8_t* pixels, int32_t& width, int32_t& height) {
  while (width > height) {
    width /= 2;
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* a = &pixels[(size_t(y) * width * 2 + x * 2) * 4];
        uint8_t* out = &pixels[(size_t(y) * width + x) * 4];
        for (int c = 0; c < 4; ++c) out[c] = uint8_t((a[c] + a[c + 4]) >> 1);
      }
    }
  }
  while (height > width) {
    height /= 2;
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* a = &pixels[(size_t(y) * 2 * width + x) * 4];
        const uint8_t* b = a + size_t(width) * 4;
        uint8_t* out = &pixels[(size_t(y) * width + x) * 4];
        for (int c = 0; c < 4; ++c) out[c] = uint8_t((a[c] + b[c]) >> 1);
      }
    }
  }
}

void ReduceMipLevel(const uint8_t* level, int32_t size, uint8_t* out) {
  const int32_t half = size / 2;
  auto at = [&](int32_t x, int32_t y) { return &level[(size_t(y) * size + x) * 4]; };
  for (int32_t y = 0; y < half; ++y) {
    for (int32_t x = 0; x < half; ++x) {
      const bool lastColumn = x == half - 1;
      const bool lastRow = y == half - 1;
      const uint8_t* a = at(2 * x, 2 * y);
      uint8_t* pixel = &out[(size_t(y) * half + x) * 4];
      for (int c = 0; c < 4; ++c) {
        if (lastColumn && lastRow) {
          pixel[c] = a[c];
        } else if (lastColumn) {
          pixel[c] = uint8_t((2 * a[c] + at(2 * x, 2 * y + 2)[c]) / 3);
        } else if (lastRow) {
          pixel[c] = uint8_t((2 * a[c] + at(2 * x + 1, 2 * y)[c]) / 3);
        } else {
          pixel[c] = uint8_t((4 * a[c] + 2 * at(2 * x + 1, 2 * y)[c] +
                              2 * at(2 * x + 1, 2 * y + 2)[c] + at(2 * x, 2 * y + 2)[c]) /
                             9);
        }
      }
    }
  }
}

void BleedTransparentPixels(RgbaImage& image) {
  const int32_t w = image.width;
  const int32_t h = image.height;
  if (!image.pixels) return;
  auto at = [&](int32_t x, int32_t y) { return &image.pixels[(size_t(y) * w + x) * 4]; };
  // Border pixels never count, and a recoloured pixel keeps alpha 0, so the scan order is free.
  auto counts = [&](int32_t x, int32_t y) {
    return x >= 1 && x <= w - 2 && y >= 1 && y <= h - 2 && at(x, y)[3] != 0;
  };
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* pixel = at(x, y);
      if (pixel[3] != 0) continue;
      uint32_t sum[3] = {0, 0, 0};
      uint32_t n = 0;
      for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
          if ((dx || dy) && counts(x + dx, y + dy)) {
            const uint8_t* source = at(x + dx, y + dy);
            for (int c = 0; c < 3; ++c) sum[c] += source[c];
            ++n;
          }
        }
      }
      for (int c = 0; c < 3; ++c) pixel[c] = n ? Mean(sum[c], n) : 0;
    }
  }
}

void MakeNormalMapPixels(uint8_t* pixels, int32_t width, int32_t height) {
  std::vector<uint8_t> result(size_t(width) * height * 4, 0);
  auto h = [&](int32_t x, int32_t y) {
    x = (x % width + width) % width;
    y = (y % height + height) % height;
    return pixels[(size_t(y) * width + x) * 4 + 2] / 255.0;
  };
  auto channel = [](double value) { return uint8_t((value + 1.0) * 0.5 * 255.0); };
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const double dx = (h(x - 1, y - 1) + 2 * h(x - 1, y) + h(x - 1, y + 1)) -
                        (h(x + 1, y - 1) + 2 * h(x + 1, y) + h(x + 1, y + 1));
      const double dy = (h(x - 1, y + 1) + 2 * h(x, y + 1) + h(x + 1, y + 1)) -
                        (h(x - 1, y - 1) + 2 * h(x, y - 1) + h(x + 1, y - 1));
      const double length = std::sqrt(dx * dx + dy * dy + 1.0);
      uint8_t* out = &result[(size_t(y) * width + x) * 4];
      out[0] = channel(dx / length);
      out[1] = channel(dy / length);
      out[2] = channel(1.0 / length);
      out[3] = pixels[(size_t(y) * width + x) * 4 + 3];
    }
  }
  std::memcpy(pixels, result.data(), result.size());
}

void MakeNormalMap(RgbaImage& image) {
  if (image.pixels) MakeNormalMapPixels(image.pixels, image.width, image.height);
}
