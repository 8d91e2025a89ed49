// WAVE files: any bytes in a memory file are read and converted to the device format, or
// refused, without reading out of bounds or allocating more than the bytes could hold.
#include <cstdlib>
#include <vector>

#include "frame/wave_file.h"
#include "platform/audio.h"
#include "system/memory_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(data, data + size));
  WaveSound sound;
  if (ReadWaveFile(FormatMemoryFileName(uint32_t(size), token).c_str(), sound)) {
    if (sound.data.size() > size) std::abort();
    std::vector<uint8_t> converted;
    platform::ConvertToDeviceFormat(sound.data.data(), sound.data.size(), sound.format, converted);
  }
  ReleaseMemoryBlock(token);
  return 0;
}
