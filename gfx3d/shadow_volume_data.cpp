// Shadow-edge adjacency and the per-draw facing and silhouette pass.
#include "gfx3d/shadow_volume_data.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool SamePosition(Vec3 a, Vec3 b) {
  return std::fabs(a.x - b.x) < 1e-5f && std::fabs(a.y - b.y) < 1e-5f &&
         std::fabs(a.z - b.z) < 1e-5f;
}

// Each corner's id: the first earlier corner at the same position, else its own index.
std::vector<int32_t> WeldCorners(const GrowArray<MeshVertex>& list, int32_t cornerCount) {
  std::vector<int32_t> id(static_cast<size_t>(cornerCount));
  for (int32_t j = 0; j < cornerCount; ++j) {
    id[size_t(j)] = j;
    for (int32_t m = 0; m < j; ++m) {
      if (SamePosition(list[m].position, list[j].position)) {
        id[size_t(j)] = m;
        break;
      }
    }
  }
  return id;
}

bool SameEdge(const std::vector<int32_t>& id, int32_t a, int32_t e, int32_t b, int32_t f) {
  const int32_t a0 = id[size_t(3 * a + e)], a1 = id[size_t(3 * a + (e + 1) % 3)];
  const int32_t b0 = id[size_t(3 * b + f)], b1 = id[size_t(3 * b + (f + 1) % 3)];
  return (a0 == b0 && a1 == b1) || (a0 == b1 && a1 == b0);
}

}  // namespace

void BuildShadowEdgeList(MeshObjectX& part) {
  if (!part.edges.empty() || part.frames.empty()) return;
  const GrowArray<MeshVertex>& list = part.frames[0].triangles;
  const int32_t triangles = list.count() / 3;
  if (triangles == 0 || !part.edges.Reserve(3 * int64_t(triangles))) return;
  for (int32_t i = 0; i < 3 * triangles; ++i) part.edges.Append(ShadowEdge{});
  const std::vector<int32_t> id = WeldCorners(list, 3 * triangles);
  for (int32_t a = 0; a + 1 < triangles; ++a) {
    for (int32_t e = 0; e < 3; ++e) {
      if (part.edges[3 * a + e].neighbour != -1) continue;
      for (int32_t b = a + 1; b < triangles; ++b) {
        for (int32_t f = 0; f < 3; ++f) {
          if (!SameEdge(id, a, e, b, f)) continue;
          part.edges[3 * a + e].neighbour = b;
          part.edges[3 * b + f].neighbour = a;
        }
      }
    }
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
