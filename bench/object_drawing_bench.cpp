// Drawing a 100,000-triangle object headless on Mesa's software driver: the viewer's frame-0 draw
// from the static buffer, and a tweened draw that rebuilds and streams every vertex. Frames per
// second are the "fps" counter; the label names the renderer.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "bench/gl_context.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/object_drawing.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "gfx3d/transforms.h"

namespace {

constexpr int32_t kGridSide = 224;  // 2 x 224 x 224 = 100,352 triangles

MeshVertex GridVertex(int32_t i, int32_t j, float lift) {
  MeshVertex v;
  v.position = {float(i) / kGridSide * 8 - 4, float(j) / kGridSide * 8 - 4, lift};
  v.normal = {0, 0, 1};
  SetVertexColour(v, 0x00FFFFFF, 0);
  return v;
}

// A square of triangle pairs facing the camera, as one triangle list, in two frames.
MeshFrame GridFrame(float lift) {
  MeshFrame frame;
  MeshVertex marker;
  SetVertexColour(marker, kBreakTriangleList, 0);
  frame.buildStream.Append(marker);
  for (int32_t j = 0; j < kGridSide; ++j) {
    for (int32_t i = 0; i < kGridSide; ++i) {
      for (auto [di, dj] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 0}, {0, 1}, {1, 1}}) {
        frame.buildStream.Append(GridVertex(i + di, j + dj, lift));
      }
    }
  }
  return frame;
}

Rainbows3D& SceneWithGrid() {
  static Rainbows3D* scene = [] {
    auto* made = new Rainbows3D(&BenchContext());
    ObjectSlot& slot = made->objects[1];
    MeshObjectX part;
    part.frames.Append(GridFrame(0));
    part.frames.Append(GridFrame(1));
    part.colourTable.Append(kBreakTriangleList);
    part.colourTable.Append(0x00FFFFFF);
    TriangulateBuildStream(part);
    ComputeFrameBounds(part);
    slot.parts.Append(std::move(part));
    slot.inUse = 1;
    return made;
  }();
  return *scene;
}

void DrawFrames(benchmark::State& state, float t) {
  Rainbows3D& scene = SceneWithGrid();
  state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Begin3DScene(scene, 1, 1024, 45);
    SetCameraLookAt(scene, {0, 0, 12}, {0, 0, 0});
    SetMovement(scene, 0, 0, 0);
    DrawObject(scene, 1, 0, 1, t, 0);
    glFinish();
  }
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = double(scene.objects[1].parts[0].frames[0].triangles.count() / 3);
}

void BM_DrawObjectStaticBuffer(benchmark::State& state) {
  DrawFrames(state, 0);
}
BENCHMARK(BM_DrawObjectStaticBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DrawObjectTweened(benchmark::State& state) {
  DrawFrames(state, 0.5f);
}
BENCHMARK(BM_DrawObjectTweened)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
