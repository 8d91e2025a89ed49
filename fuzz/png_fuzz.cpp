// PNG files through the runtime's reader: any bytes decode or are refused without reading or
// writing out of bounds, without ending the process, and without keeping the memory block.
// libpng accepts headers of up to 1,000,000 pixels a side; inputs declaring more than 4096 are
// skipped so that a legal huge header does not trip the fuzzer's memory limit.
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx2d/png_file.h"
#include "system/memory_blocks.h"

namespace {

constexpr uint32_t kLargestSide = 4096;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The IHDR chunk must come first; libpng refuses the file otherwise.
bool DeclaresHugeImage(const uint8_t* data, size_t size) {
  if (size < 24) return false;
  return BigEndian32(data + 16) > kLargestSide || BigEndian32(data + 20) > kLargestSide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (DeclaresHugeImage(data, size)) return 0;
  const size_t live = LiveMemoryBlockCount();
  const uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(data, data + size));
  const std::string name = FormatMemoryFileName(uint32_t(size), token);
  RgbaImage image;
  if (LoadPngImage(image, name.c_str(), 0x8000FF) &&
      int64_t(image.width) * image.height * 4 > image.capacity) {
    std::abort();
  }
  ReleaseImage(image);
  // The reader must have let go of the block: releasing it now frees it.
  ReleaseMemoryBlock(token);
  if (LiveMemoryBlockCount() != live) std::abort();
  return 0;
}
