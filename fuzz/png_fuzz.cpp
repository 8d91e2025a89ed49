// PNG files through the runtime's reader: any bytes decode or are refused without reading or
// writing out of bounds, without ending the process, and without keeping the memory block.
// libpng accepts headers of up to 1,000,000 pixels a side; inputs declaring more than 4096 are
// skipped so that a legal huge header does not trip the fuzzer's memory limit. Every whole chunk
// gets its checksum put right first: otherwise libpng refuses nearly every mutation at once and
// the fuzzer never reaches the decoder.
#include <array>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gfx2d/png_file.h"
#include "system/memory_blocks.h"

namespace {

constexpr uint32_t kLargestSide = 4096;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The checksum a PNG chunk carries: CRC-32 with the reflected polynomial 0xEDB88320.
uint32_t Crc32(const uint8_t* data, size_t size) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// After the 8-byte signature: chunks of length, type, data and the CRC of type and data.
void RepairChunkCrcs(std::vector<uint8_t>& file) {
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint64_t length = BigEndian32(&file[at]);
    if (length > file.size() - at - 12) return;
    const uint32_t crc = Crc32(&file[at + 4], size_t(length) + 4);
    uint8_t* stored = &file[at + 8 + length];
    for (int i = 0; i < 4; ++i) stored[i] = uint8_t(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

bool DeclaresHugeImage(const uint8_t* data, size_t size) {
  if (size < 24) return false;
  return BigEndian32(data + 16) > kLargestSide || BigEndian32(data + 20) > kLargestSide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (DeclaresHugeImage(data, size)) return 0;
  const size_t live = LiveMemoryBlockCount();
  std::vector<uint8_t> file(data, data + size);
  RepairChunkCrcs(file);
  const uint32_t token = RegisterMemoryBlock(std::move(file));
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
