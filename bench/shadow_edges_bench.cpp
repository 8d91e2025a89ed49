// The shadow edge list of a 20,000-triangle grid mesh, against a plain pairing through hash maps
// of exact positions and of corner pairs doing the same matching.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>
#include <unordered_map>
#include <vector>

#include "bench/side_by_side.h"
#include "gfx3d/shadow_volume_data.h"

namespace {

// Two triangles per square of a side x side grid.
MeshObjectX GridMesh(int32_t side) {
  MeshFrame frame;
  const auto corner = [&](int32_t x, int32_t y) {
    MeshVertex v;
    v.position = {float(x), float(y), float((x * 7 + y * 3) % 5)};
    frame.triangles.Append(v);
  };
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      for (const auto& [cx, cy] : {std::pair{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y},
                                   {x + 1, y + 1}, {x, y + 1}}) {
        corner(cx, cy);
      }
    }
  }
  MeshObjectX part;
  part.frames.Append(std::move(frame));
  return part;
}

std::vector<int32_t> PlainPairing(const GrowArray<MeshVertex>& list) {
  std::map<std::tuple<float, float, float>, int32_t> first;
  std::vector<int32_t> id(size_t(list.count())), neighbour(size_t(list.count()), -1);
  for (int32_t j = 0; j < list.count(); ++j) {
    const Vec3 p = list[j].position;
    id[size_t(j)] = first.try_emplace({p.x, p.y, p.z}, j).first->second;
  }
  std::unordered_map<uint64_t, int32_t> open;
  for (int32_t slot = 0; slot < list.count(); ++slot) {
    const int32_t p = id[size_t(slot)], q = id[size_t(slot - slot % 3 + (slot + 1) % 3)];
    const uint64_t key = uint64_t(uint32_t(std::min(p, q))) << 32 | uint32_t(std::max(p, q));
    const auto [it, added] = open.try_emplace(key, slot);
    if (added) continue;
    neighbour[size_t(slot)] = it->second / 3;
    neighbour[size_t(it->second)] = slot / 3;
  }
  return neighbour;
}

void BM_ShadowEdgeList(benchmark::State& state) {
  MeshObjectX part = GridMesh(int32_t(state.range(0)));
  bench::SideBySide(
      state,
      [&] {
        part.edges.Clear(false);
        BuildShadowEdgeList(part);
        benchmark::DoNotOptimize(part.edges[0].neighbour);
      },
      [&] { benchmark::DoNotOptimize(PlainPairing(part.frames[0].triangles)); });
}
// 100 x 100 squares: 20,000 triangles.
BENCHMARK(BM_ShadowEdgeList)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
