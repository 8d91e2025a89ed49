// Array sizes the tool meets: its 257 x 257 x 257 voxel box and long PUSH lists.
#include <benchmark/benchmark.h>

#include "core/dim_array.h"

namespace {

void DimVoxelBox(benchmark::State& state) {
  for (auto _ : state) {
    DimArray voxels{};
    ArrayDimNumber(voxels, 257, 257, 257, 0);
    benchmark::DoNotOptimize(voxels.data);
    ArrayRelease(voxels);
  }
}
BENCHMARK(DimVoxelBox)->Unit(benchmark::kMillisecond);

// The box zeroed and touched once: what the tool pays before its first scan.
void DimAndTouchVoxelBox(benchmark::State& state) {
  for (auto _ : state) {
    DimArray voxels{};
    ArrayDimNumber(voxels, 257, 257, 257, 0);
    double sum = 0;
    for (int32_t z = 0; z < 257; ++z) sum += *ArrayNumberAt(voxels, 256, 256, z);
    for (int32_t i = 0; i < voxels.count; i += 512) sum += static_cast<double*>(voxels.data)[i];
    benchmark::DoNotOptimize(sum);
    ArrayRelease(voxels);
  }
}
BENCHMARK(DimAndTouchVoxelBox)->Unit(benchmark::kMillisecond);

void PushMillionNumbers(benchmark::State& state) {
  for (auto _ : state) {
    DimArray list{};
    for (int i = 0; i < 1000000; ++i) ArrayPushNumber(list, i);
    benchmark::DoNotOptimize(list.data);
    ArrayRelease(list);
  }
}
BENCHMARK(PushMillionNumbers)->Unit(benchmark::kMillisecond);

void PushStrings(benchmark::State& state) {
  Str text;
  StrFromCString(text, "v 1.5 2.25 -3");
  for (auto _ : state) {
    DimArray list{};
    for (int i = 0; i < 20000; ++i) ArrayPushString(list, text);
    benchmark::DoNotOptimize(list.data);
    ArrayReleaseString(list);
  }
  StrRelease(text);
}
BENCHMARK(PushStrings)->Unit(benchmark::kMillisecond);

}  // namespace
