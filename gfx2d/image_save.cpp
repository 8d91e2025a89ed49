// The save dispatch by the file name's last four characters.
#include "gfx2d/image_save.h"

#include <cctype>
#include <cstring>
#include <utility>

#include "gfx2d/bmp_file.h"
#include "gfx2d/jpeg_file.h"
#include "gfx2d/png_file.h"

namespace {

// True when the name is longer than four characters and ends in '.' + the three letters.
bool HasExtension(const char* name, const char* letters) {
  const size_t length = std::strlen(name);
  if (length <= 4 || name[length - 4] != '.') return false;
  for (size_t i = 0; i < 3; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[length - 3 + i])) != letters[i]) return false;
  }
  return true;
}

void SwapRedAndBlue(RgbaImage& image) {
  if (!image.pixels) return;
  const size_t count = size_t(image.width) * size_t(image.height);
  for (size_t i = 0; i < count; ++i) std::swap(image.pixels[i * 4], image.pixels[i * 4 + 2]);
}

}  // namespace

bool SaveImage(const char* name, RgbaImage& image) {
  if (!name) return false;
  if (HasExtension(name, "png")) return PngSave(name, image.pixels, image.width, image.height);
  if (HasExtension(name, "jpg")) {
    SwapRedAndBlue(image);
    return JpegSave(name, image.pixels, image.width, image.height);
  }
  return SaveBmpImage(name, image);
}
