// Cost of loading a sound into a slot: reading one second of 44.1 kHz 16-bit stereo WAVE from a
// memory file, and converting it to the device format (the once-per-load resampling).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame/wave_file.h"
#include "platform/audio.h"
#include "system/memory_blocks.h"

namespace {

constexpr uint32_t kRate = 44100;

std::vector<uint8_t> OneSecondWave() {
  const uint32_t dataBytes = kRate * 4;
  std::vector<uint8_t> image(44 + dataBytes);
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&image[at], &v, 2); };
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&image[at], &v, 4); };
  std::memcpy(&image[0], "RIFF", 4);
  put32(4, 36 + dataBytes);
  std::memcpy(&image[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 2);
  put32(24, kRate);
  put32(28, kRate * 4);
  put16(32, 4);
  put16(34, 16);
  std::memcpy(&image[36], "data", 4);
  put32(40, dataBytes);
  for (uint32_t i = 0; i < dataBytes; ++i) image[44 + i] = uint8_t(i * 7);
  return image;
}

}  // namespace

static void BM_ReadWaveFromMemory(benchmark::State& state) {
  const std::vector<uint8_t> image = OneSecondWave();
  const uint32_t token = RegisterMemoryBlock(image);
  const std::string name = FormatMemoryFileName(uint32_t(image.size()), token);
  for (auto _ : state) {
    WaveSound sound;
    benchmark::DoNotOptimize(ReadWaveFile(name.c_str(), sound));
  }
  ReleaseMemoryBlock(token);
}
BENCHMARK(BM_ReadWaveFromMemory)->Unit(benchmark::kMicrosecond);

static void BM_ConvertOneSecondTo22050(benchmark::State& state) {
  const std::vector<uint8_t> image = OneSecondWave();
  for (auto _ : state) {
    std::vector<uint8_t> out;
    benchmark::DoNotOptimize(
        platform::ConvertToDeviceFormat(image.data() + 44, image.size() - 44, {16, 2, kRate}, out));
  }
}
BENCHMARK(BM_ConvertOneSecondTo22050)->Unit(benchmark::kMicrosecond);
