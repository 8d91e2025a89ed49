// Filling a 2D vertex array one vertex at a time under its growth rule (the polygon batch's step
// and minimum), as 400,000 PolyVector calls fill a fresh batch, against std::vector.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "bench/side_by_side.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/vertex_array_growth.h"

namespace {

void BM_FillVertexArray(benchmark::State& state) {
  const int32_t vertices = int32_t(state.range(0));
  bench::SideBySide(
      state,
      [&] {
        PolygonVertex* data = nullptr;
        int32_t capacity = 0;
        for (int32_t count = 0; count < vertices; ++count) {
          GrowVertexArray(data, count, capacity, 128, 512, count + 1);
          data[count] = {float(count), 1, 0, 0, 255, 255, 255, 255};
        }
        benchmark::DoNotOptimize(data);
        std::free(data);
      },
      [&] {
        std::vector<PolygonVertex> data;
        for (int32_t count = 0; count < vertices; ++count) {
          data.push_back({float(count), 1, 0, 0, 255, 255, 255, 255});
        }
        benchmark::DoNotOptimize(data.data());
      });
}
BENCHMARK(BM_FillVertexArray)->Arg(400'000)->Unit(benchmark::kMillisecond);

}  // namespace
