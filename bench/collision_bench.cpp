// Collision queries over a frame of 10,000 triangles (a 50 x 100 grid of quads), the work every
// query does once per frame: the kernel per triangle after the shape goes into object space.
#include <benchmark/benchmark.h>

#include "gfx3d/collision_queries.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "gfx3d/transforms.h"

namespace {

void AddGrid(ObjectSlot& slot) {
  MeshFrame frame;
  auto corner = [&](float x, float y) {
    MeshVertex vertex;
    vertex.position = {x, y, 0};
    frame.triangles.Append(vertex);
  };
  for (int i = 0; i < 50; ++i) {
    for (int j = 0; j < 100; ++j) {
      const float x = float(i), y = float(j);
      corner(x, y), corner(x + 1, y), corner(x, y + 1);
      corner(x + 1, y), corner(x + 1, y + 1), corner(x, y + 1);
    }
  }
  MeshObjectX part;
  part.frames.Append(std::move(frame));
  ComputeFrameBounds(part);
  slot.parts.Append(std::move(part));
  slot.inUse = 1;
}

struct PlacedGrid {
  Rainbows3D scene{nullptr};
  PlacedGrid() {
    AddGrid(scene.objects[1]);
    SetMovement(scene, 3, 1, -2);
    AddRotation(scene, 30, 0, 1, 0);
  }
};

// Aimed so that no triangle is hit: every kernel runs to the end of the list.
void BM_RayCollide(benchmark::State& state) {
  PlacedGrid grid;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ObjectRayCollide(grid.scene, 1, 0, {500, 500, 500}, {0, 0, 1}));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RayCollide);

void BM_SphereCollideMiss(benchmark::State& state) {
  PlacedGrid grid;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ObjectSphereCollide(grid.scene, 1, 0, {20, 40, 5}, 1.0f));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SphereCollideMiss);

void BM_BoxCollideMiss(benchmark::State& state) {
  PlacedGrid grid;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ObjectBoxCollide(grid.scene, 1, 0, {20, 40, 5}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BoxCollideMiss);

}  // namespace
