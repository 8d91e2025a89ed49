// BMP files: any bytes decode or are refused without reading or writing out of bounds, with the
// image's size and buffer agreeing, and the same outcome from a memory file as from the bytes.
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx2d/bmp_file.h"
#include "system/memory_blocks.h"

namespace {

bool DecodeDirectly(const uint8_t* data, size_t size) {
  RgbaImage image;
  const bool decoded = DecodeBmpImage(data, size, image, 0x8000FF);
  if (decoded && int64_t(image.width) * image.height * 4 > image.capacity) std::abort();
  ReleaseImage(image);
  return decoded;
}

bool LoadFromMemoryFile(const uint8_t* data, size_t size) {
  const uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(data, data + size));
  const std::string name = FormatMemoryFileName(uint32_t(size), token);
  RgbaImage image;
  const bool loaded = LoadBmpImage(image, name.c_str(), -1);
  ReleaseImage(image);
  ReleaseMemoryBlock(token);
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (DecodeDirectly(data, size) != LoadFromMemoryFile(data, size)) std::abort();
  return 0;
}
