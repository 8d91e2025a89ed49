// The runtime's own LZSS: any bytes unpack or are refused without reading or writing out of
// bounds, and whatever the packer makes of them unpacks to the same bytes.
#include <cstdlib>
#include <cstring>

#include "system/compression_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CompressBuffer* buffer = MakeCompressBuffer().release();
  buffer->mode = kCompressModeLzss;
  CompressBufferUnpack(*buffer, data, size);

  if (size < 2) return 0;
  if (CompressBufferPack(*buffer, data, size) <= 0) std::abort();
  std::vector<uint8_t> packed = buffer->output;
  if (CompressBufferUnpack(*buffer, packed.data(), packed.size()) != int32_t(size)) std::abort();
  if (std::memcmp(buffer->output.data(), data, size) != 0) std::abort();
  return 0;
}
