// Building the tool's model in code: 20,000 voxel faces (a strip marker and four vertices each)
// added and the object ended, which builds the colour table, smooth normals, the triangle lists
// and the bounds. Standard output goes to /dev/null, as a model this size prints one line per
// vertex.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"

namespace {

void BuildFaces(Rainbows3D& scene, int faces) {
  ObjectStart(scene, 1, 1);
  for (int f = 0; f < faces; ++f) {
    const float x = float(f % 200), y = float(f / 200);
    const uint32_t colour = 0x000000FFu + uint32_t(f % 7) * 0x100u;
    ObjectAddBreak(scene, 1);
    ObjectAddVertex(scene, x + 1, y, 0, 0.125f, 0, colour);
    ObjectAddVertex(scene, x + 1, y + 1, 0, 0.125f, 0.125f, colour);
    ObjectAddVertex(scene, x, y, 0, 0, 0, colour);
    ObjectAddVertex(scene, x, y + 1, 0, 0, 0.125f, colour);
  }
  ObjectEnd(scene);
}

// Standard output goes to /dev/null while the object is built, and comes back for the report.
void BM_BuildAndEndModel(benchmark::State& state) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
  Rainbows3D scene(nullptr);
  for (auto _ : state) BuildFaces(scene, int(state.range(0)));
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(null);
  close(saved);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildAndEndModel)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
