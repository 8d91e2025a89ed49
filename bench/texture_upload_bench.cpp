// The CPU side of a sprite upload: bleeding a colour-keyed image, squaring and reducing a mip
// chain.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx2d/rgba_image.h"
#include "gfx2d/texture_upload.h"

namespace {

std::vector<uint8_t> Pattern(int32_t width, int32_t height) {
  std::vector<uint8_t> pixels(size_t(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 2654435761u >> 24);
  // Every third pixel is a key pixel.
  for (size_t p = 0; p < pixels.size() / 4; p += 3) pixels[p * 4 + 3] = 0;
  return pixels;
}

void BM_BleedTransparentPixels(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  const std::vector<uint8_t> source = Pattern(side, side);
  std::vector<uint8_t> pixels;
  RgbaImage image;
  image.width = image.height = side;
  for (auto _ : state) {
    pixels = source;
    image.pixels = pixels.data();
    BleedTransparentPixels(image);
    benchmark::DoNotOptimize(pixels.data());
  }
  image.pixels = nullptr;
  state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_BleedTransparentPixels)->Arg(256)->Arg(1024);

void BM_MipChain(benchmark::State& state) {
  const int32_t side = int32_t(state.range(0));
  const std::vector<uint8_t> source = Pattern(side * 2, side);
  std::vector<uint8_t> level, next(size_t(side) * side * 4);
  for (auto _ : state) {
    level = source;
    int32_t w = side * 2, h = side;
    HalveToSquare(level.data(), w, h);
    for (int32_t size = w; size > 1; size /= 2) {
      ReduceMipLevel(level.data(), size, next.data());
      level.swap(next);
    }
    benchmark::DoNotOptimize(level.data());
  }
  state.SetItemsProcessed(state.iterations() * side * side * 2);
}
BENCHMARK(BM_MipChain)->Arg(256)->Arg(1024);

}  // namespace
