// LZO1X packed blocks: any bytes unpack or are refused without reading or writing out of bounds,
// and whatever the packer makes of them unpacks to the same bytes.
#include <cstdlib>
#include <cstring>

#include "system/compression_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CompressBuffer* buffer = MakeCompressBuffer().release();
  buffer->mode = kCompressModeLzo1x;
  CompressBufferUnpack(*buffer, data, size);

  if (CompressBufferPack(*buffer, data, size) <= 0) std::abort();
  std::vector<uint8_t> packed = buffer->output;
  if (CompressBufferUnpack(*buffer, packed.data(), packed.size()) != int32_t(size)) std::abort();
  if (size && std::memcmp(buffer->output.data(), data, size) != 0) std::abort();
  return 0;
}
