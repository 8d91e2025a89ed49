// Loading a 2048 x 2048 RGBA PNG of seeded noise through the runtime's reader, against a bare
// libpng read loop of the same file (target: the reader within 1.2 times the bare loop).
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "gfx2d/png_file.h"
#include "platform/files.h"

namespace {

constexpr int32_t kSide = 2048;

// Written once per process, removed at exit.
// Never destroyed: the exit handler that removes the file reads the name after static
// destructors have run.
const std::string& NoisePng() {
  static const std::string& path = *[] {
    const auto* name = new std::string(platform::TempFolder() + "qrn-png-bench-" +
                                       std::to_string(std::random_device()()) + ".png");
    std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
    std::mt19937 random(2048);
    for (uint8_t& byte : pixels) byte = uint8_t(random());
    if (!PngSave(name->c_str(), pixels.data(), kSide, kSide)) std::abort();
    std::atexit([] { std::remove(NoisePng().c_str()); });
    return name;
  }();
  return path;
}

void LoadThroughTheReader(benchmark::State& state) {
  const std::string& path = NoisePng();
  RgbaImage image;
  for (auto _ : state) {
    if (!LoadPngImage(image, path.c_str(), kNoTransparentColour))
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(image.pixels);
  }
  ReleaseImage(image);
}
BENCHMARK(LoadThroughTheReader)->Unit(benchmark::kMillisecond);

void BareLibpngReadLoop(benchmark::State& state) {
  const std::string& path = NoisePng();
  std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
  std::vector<png_bytep> rows(kSide);
  for (int32_t y = 0; y < kSide; ++y) rows[y] = pixels.data() + size_t(y) * kSide * 4;
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_read_info(png, info);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BareLibpngReadLoop)->Unit(benchmark::kMillisecond);

}  // namespace
