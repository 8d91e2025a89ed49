// Reading a drawn 255 x 255 tile back pixel by pixel, the tool's scan pattern: one glReadPixels
// per pixel against ReadPixel's block reads; and the worst case for the blocks, a draw before
// every read. Runs headless on Mesa's software driver.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

#include "bench/gl_context.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "frame/screen_orientation.h"
#include "gfx2d/primitives.h"
#include "gfx2d/screen_reads.h"

namespace {

constexpr int32_t kTile = 255;

// What a read cost before the blocks: one 1 x 1 glReadPixels from the back buffer.
uint32_t ReadOnePixel(const OpenGLRainbows& ctx, int32_t x, int32_t y) {
  int32_t wx, wy;
  LogicalToScreen(ctx, x, y, &wx, &wy);
  uint8_t bgra[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(wx, ctx.windowHeight - wy - 1, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
  return uint32_t(bgra[2]) | uint32_t(bgra[1]) << 8 | uint32_t(bgra[0]) << 16;
}

template <typename Read>
void ReadTile(benchmark::State& state, Read read) {
  OpenGLRainbows& ctx = BenchContext();
  uint32_t colour = 0;
  for (auto _ : state) {
    FillRect(ctx, 0, 0, kTile, kTile, ++colour & 0xFFFFFF);
    uint32_t sum = 0;
    for (int32_t y = 0; y < kTile; ++y)
      for (int32_t x = 0; x < kTile; ++x) sum += read(ctx, x, y);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kTile * kTile);
}

void BM_TileReadOneGlReadPerPixel(benchmark::State& state) {
  ReadTile(state, ReadOnePixel);
}
BENCHMARK(BM_TileReadOneGlReadPerPixel)->Unit(benchmark::kMillisecond);

void BM_TileReadThroughBlocks(benchmark::State& state) {
  ReadTile(state, ReadPixel);
}
BENCHMARK(BM_TileReadThroughBlocks)->Unit(benchmark::kMillisecond);

template <typename Read>
void DrawThenRead(benchmark::State& state, Read read) {
  OpenGLRainbows& ctx = BenchContext();
  uint32_t colour = 0;
  for (auto _ : state) {
    DrawPoint(ctx, 4, 4, ++colour & 0xFFFFFF);
    benchmark::DoNotOptimize(read(ctx, 4, 4));
  }
}

void BM_DrawThenReadOneGlRead(benchmark::State& state) {
  DrawThenRead(state, ReadOnePixel);
}
BENCHMARK(BM_DrawThenReadOneGlRead)->Unit(benchmark::kMicrosecond);

void BM_DrawThenReadThroughBlocks(benchmark::State& state) {
  DrawThenRead(state, ReadPixel);
}
BENCHMARK(BM_DrawThenReadThroughBlocks)->Unit(benchmark::kMicrosecond);

}  // namespace
