// Shadow-edge adjacency and the per-draw facing and silhouette pass.
#include "gfx3d/shadow_volume_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

// Positions closer than this on every axis count as one; the grid's cells are twice as wide, so
// two such positions always lie in the same or neighbouring cells.
constexpr float kWeldDistance = 1e-5f;
constexpr double kCellsPerUnit = 0.5 / double(kWeldDistance);

bool SamePosition(Vec3 a, Vec3 b) {
  return std::fabs(a.x - b.x) < kWeldDistance && std::fabs(a.y - b.y) < kWeldDistance &&
         std::fabs(a.z - b.z) < kWeldDistance;
}

struct Cell {
  int64_t x, y, z;
  bool operator==(const Cell&) const = default;
};

struct CellHash {
  size_t operator()(const Cell& c) const {
    return std::hash<uint64_t>()(uint64_t(c.x) * 0x9E3779B97F4A7C15ull ^
                                 uint64_t(c.y) * 0xC2B2AE3D27D4EB4Full ^ uint64_t(c.z));
  }
};

// Coordinates beyond the grid's reach share its outermost cells, and a NaN (which matches
// nothing) any cell: a cell only gathers candidates for the distance test.
int64_t CellCoordinate(float v) {
  const double scaled = std::floor(double(v) * kCellsPerUnit);
  if (std::isnan(scaled)) return 0;
  return int64_t(std::clamp(scaled, -0x1p62, 0x1p62));
}

Cell CellOf(Vec3 p) {
  return {CellCoordinate(p.x), CellCoordinate(p.y), CellCoordinate(p.z)};
}

using CornerGrid = std::unordered_map<Cell, std::vector<int32_t>, CellHash>;

// The first corner before j at j's position among the 27 cells around j's, else j.
int32_t FirstAtSamePosition(const GrowArray<MeshVertex>& list, const CornerGrid& grid, Cell at,
                            int32_t j) {
  int32_t first = j;
  for (int64_t dx = -1; dx <= 1; ++dx) {
    for (int64_t dy = -1; dy <= 1; ++dy) {
      for (int64_t dz = -1; dz <= 1; ++dz) {
        const auto found = grid.find({at.x + dx, at.y + dy, at.z + dz});
        if (found == grid.end()) continue;
        for (const int32_t m : found->second) {  // in rising order
          if (m >= first) break;
          if (SamePosition(list[m].position, list[j].position)) {
            first = m;
            break;
          }
        }
      }
    }
  }
  return first;
}

// Each corner's id: the first earlier corner at the same position, else its own index.
std::vector<int32_t> WeldCorners(const GrowArray<MeshVertex>& list, int32_t cornerCount) {
  std::vector<int32_t> id(static_cast<size_t>(cornerCount));
  CornerGrid grid;
  for (int32_t j = 0; j < cornerCount; ++j) {
    const Cell cell = CellOf(list[j].position);
    id[size_t(j)] = FirstAtSamePosition(list, grid, cell, j);
    grid[cell].push_back(j);
  }
  return id;
}

// The edge from corner e of a triangle to the next, as its two corner ids in rising order.
uint64_t EdgeKey(const std::vector<int32_t>& id, int32_t slot) {
  const int32_t t = slot / 3, e = slot % 3;
  const int32_t p = id[size_t(slot)], q = id[size_t(3 * t + (e + 1) % 3)];
  return uint64_t(uint32_t(std::min(p, q))) << 32 | uint32_t(std::max(p, q));
}

}  // namespace

// Every edge slot (3 x triangle + corner) of each triangle a, in rising order, not yet paired:
// each slot of a later triangle on the same edge is paired with a, and a's slot with the last of
// those triangles.
void BuildShadowEdgeList(MeshObjectX& part) {
  if (!part.edges.empty() || part.frames.empty()) return;
  const GrowArray<MeshVertex>& list = part.frames[0].triangles;
  const int32_t triangles = list.count() / 3;
  if (triangles == 0 || !part.edges.Reserve(3 * int64_t(triangles))) return;
  for (int32_t i = 0; i < 3 * triangles; ++i) part.edges.Append(ShadowEdge{});
  const std::vector<int32_t> id = WeldCorners(list, 3 * triangles);
  std::unordered_map<uint64_t, std::vector<int32_t>> slotsOfEdge;
  for (int32_t slot = 0; slot < 3 * triangles; ++slot) slotsOfEdge[EdgeKey(id, slot)].push_back(slot);
  for (int32_t slot = 0; slot < 3 * triangles; ++slot) {
    if (part.edges[slot].neighbour != -1) continue;
    const int32_t a = slot / 3;
    const std::vector<int32_t>& slots = slotsOfEdge[EdgeKey(id, slot)];
    auto later = std::upper_bound(slots.begin(), slots.end(), 3 * a + 2);
    if (later == slots.end()) continue;
    for (; later != slots.end(); ++later) part.edges[*later].neighbour = a;
    part.edges[slot].neighbour = slots.back() / 3;
  }
}

void ComputeFacingFlags(MeshObjectX& part, const MeshVertex* corners, int32_t cornerCount,
                        Vec3 light) {
  if (part.frames.empty()) return;
  const int32_t triangles = part.frames[0].triangles.count() / 3;
  const int32_t readable = std::min(triangles, cornerCount / 3);
  part.facing.Clear(false);
  if (!part.facing.Reserve(triangles)) return;
  for (int32_t t = 0; t < triangles; ++t) {
    uint8_t faces = 0;
    if (t < readable) {
      const Vec3 p0 = corners[3 * t].position, p1 = corners[3 * t + 1].position,
                 p2 = corners[3 * t + 2].position;
      const Vec3 n = Cross(p0 - p1, p2 - p1);
      const Vec3 toLight = light + (p0 + p1 + p2) * -0.33333334f;
      faces = Dot(n, toLight) >= 0 ? 1 : 0;
    }
    part.facing.Append(faces);
  }
  for (int32_t i = 0; i < part.edges.count() && i / 3 < triangles; ++i) {
    ShadowEdge& edge = part.edges[i];
    const bool open = edge.neighbour < 0 || edge.neighbour >= triangles;
    edge.silhouette = part.facing[i / 3] && (open || !part.facing[edge.neighbour]) ? 1 : 0;
  }
}
