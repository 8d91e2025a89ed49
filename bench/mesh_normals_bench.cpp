// Smooth normals of a voxel-like model: 100,000 records on a grid of shared positions, in strips
// of quads as the tool emits them, with the hash lookup against the linear search it replaces.
#include <benchmark/benchmark.h>

#include <random>

#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/mesh_normals.h"

namespace {

MeshObject VoxelLikeMesh(int32_t records) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> cell(0, 39);
  MeshObject mesh;
  MeshFrame frame;
  while (frame.buildStream.count() < records) {
    MeshVertex marker;
    marker.colour = kBreakStrip;
    frame.buildStream.Append(marker);
    float x = float(cell(random)), y = float(cell(random)), z = float(cell(random));
    for (Vec3 corner :
         {Vec3{x, y, z}, Vec3{x + 1, y, z}, Vec3{x, y + 1, z}, Vec3{x + 1, y + 1, z}}) {
      MeshVertex vertex;
      vertex.position = corner;
      vertex.colour = 0x00FF00;
      frame.buildStream.Append(vertex);
    }
  }
  mesh.frames.Append(std::move(frame));
  return mesh;
}

void BM_SmoothNormals(benchmark::State& state, SharedKeySearch search) {
  const int32_t records = int32_t(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    MeshObject mesh = VoxelLikeMesh(records);
    state.ResumeTiming();
    PrepareMeshNormalsWith(mesh, true, true, false, search);
    benchmark::DoNotOptimize(mesh.frames[0].buildStream[1].normal);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK_CAPTURE(BM_SmoothNormals, hash, SharedKeySearch::Hash)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SmoothNormals, linear, SharedKeySearch::Linear)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_SaveEncode(benchmark::State& state) {
  MeshObject mesh = VoxelLikeMesh(100000);
  PrepareMeshNormals(mesh, true, true, false);
  BuildColourTable(mesh);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeKmoModel(mesh));
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_SaveEncode)->Unit(benchmark::kMillisecond);

void BM_LoadDecode(benchmark::State& state) {
  MeshObject mesh = VoxelLikeMesh(100000);
  BuildColourTable(mesh);
  std::vector<uint8_t> bytes = EncodeKmoModel(mesh);
  for (auto _ : state) {
    MeshObject loaded;
    double version = 0;
    benchmark::DoNotOptimize(DecodeKmoModel(bytes, loaded, version));
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_LoadDecode)->Unit(benchmark::kMillisecond);

}  // namespace
