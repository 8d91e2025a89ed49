// Shadow-edge adjacency, facing flags and silhouette marks.
#include "gfx3d/shadow_volume_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <vector>

namespace {

MeshObjectX PartOf(std::initializer_list<Vec3> corners) {
  MeshFrame frame;
  for (Vec3 p : corners) {
    MeshVertex v;
    v.position = p;
    frame.triangles.Append(v);
  }
  MeshObjectX part;
  part.frames.Append(std::move(frame));
  return part;
}

void Face(MeshObjectX& part, Vec3 light) {
  const GrowArray<MeshVertex>& list = part.frames[0].triangles;
  ComputeFacingFlags(part, list.data(), list.count(), light);
}

// Clockwise seen from +z, so it faces a light above it.
const Vec3 kA{0, 0, 0}, kB{0, 1, 0}, kC{1, 0, 0}, kD{1, 1, 0};

TEST(ShadowEdgesTest, SingleTriangleFacingTheLightHasThreeSilhouetteEdges) {
  MeshObjectX part = PartOf({kA, kB, kC});
  BuildShadowEdgeList(part);
  ASSERT_EQ(part.edges.count(), 3);
  Face(part, {0, 0, 10});
  EXPECT_EQ(part.facing[0], 1);
  for (const ShadowEdge& e : part.edges) {
    EXPECT_EQ(e.neighbour, -1);
    EXPECT_EQ(e.silhouette, 1);
  }
  Face(part, {0, 0, -10});
  EXPECT_EQ(part.facing[0], 0);
  EXPECT_EQ(part.edges[0].silhouette, 0);
  Face(part, {5, 5, 0});
  EXPECT_EQ(part.facing[0], 1) << "a light in the triangle's plane counts as facing";
}

TEST(ShadowEdgesTest, SharedEdgeIsNoSilhouette) {
  MeshObjectX part = PartOf({kA, kB, kC, kC, kB, kD});
  BuildShadowEdgeList(part);
  Face(part, {0.5f, 0.5f, 10});
  int silhouettes = 0;
  for (const ShadowEdge& e : part.edges) silhouettes += e.silhouette;
  EXPECT_EQ(silhouettes, 4);
  EXPECT_EQ(part.edges[1].neighbour, 1);  // edge B-C of the first triangle
  EXPECT_EQ(part.edges[3].neighbour, 0);  // edge C-B of the second
  EXPECT_EQ(part.edges[1].silhouette, 0);
  EXPECT_EQ(part.edges[3].silhouette, 0);
}

TEST(ShadowEdgesTest, WeldingToleranceIsBelowOneHundredThousandth) {
  MeshObjectX near = PartOf({kA, kB, kC, {1, 0.9e-5f, 0}, kB, kD});
  BuildShadowEdgeList(near);
  EXPECT_EQ(near.edges[1].neighbour, 1);
  MeshObjectX apart = PartOf({kA, kB, kC, {1, 1e-5f, 0}, kB, kD});
  BuildShadowEdgeList(apart);
  EXPECT_EQ(apart.edges[1].neighbour, -1);
}

// The pairing spelt out pair by pair: a corner welds to the first earlier one within the
// distance on every axis; each slot of a triangle not yet paired pairs every later triangle's
// slot on the same edge with its triangle, and itself with the last of them.
std::vector<int32_t> PairedPairByPair(const GrowArray<MeshVertex>& list) {
  const int32_t n = list.count(), triangles = n / 3;
  std::vector<int32_t> id(static_cast<size_t>(n)), neighbour(static_cast<size_t>(n), -1);
  for (int32_t j = 0; j < n; ++j) {
    id[j] = j;
    for (int32_t m = 0; m < j; ++m) {
      const Vec3 a = list[m].position, b = list[j].position;
      if (std::fabs(a.x - b.x) < 1e-5f && std::fabs(a.y - b.y) < 1e-5f &&
          std::fabs(a.z - b.z) < 1e-5f) {
        id[j] = m;
        break;
      }
    }
  }
  const auto edge = [&](int32_t t, int32_t e) {
    return std::minmax(id[3 * t + e], id[3 * t + (e + 1) % 3]);
  };
  for (int32_t a = 0; a + 1 < triangles; ++a) {
    for (int32_t e = 0; e < 3; ++e) {
      if (neighbour[3 * a + e] != -1) continue;
      for (int32_t b = a + 1; b < triangles; ++b) {
        for (int32_t f = 0; f < 3; ++f) {
          if (edge(a, e) != edge(b, f)) continue;
          neighbour[3 * a + e] = b;
          neighbour[3 * b + f] = a;
        }
      }
    }
  }
  return neighbour;
}

// Corners on a small lattice, nudged by less or more than the weld distance, so edges are
// shared by two, three or more triangles, some degenerate, with a few corners far out or NaN.
TEST(ShadowEdgesTest, PairsEveryEdgeAsThePairByPairRuleInTheSameOrder) {
  std::mt19937 random(3);
  const float nudges[] = {0, 0.4e-5f, -0.9e-5f, 1.1e-5f, 3e-5f};
  const float far[] = {3e10f, -1e30f, std::numeric_limits<float>::infinity(), NAN};
  for (int round = 0; round < 4; ++round) {
    MeshObjectX part = PartOf({});
    for (int corner = 0; corner < 3 * 700; ++corner) {
      MeshVertex v;
      v.position = {float(random() % 5) + nudges[random() % 5], float(random() % 4),
                    random() % 50 ? float(random() % 2) : far[random() % 4]};
      part.frames[0].triangles.Append(v);
    }
    BuildShadowEdgeList(part);
    const std::vector<int32_t> expected = PairedPairByPair(part.frames[0].triangles);
    ASSERT_EQ(part.edges.count(), int32_t(expected.size()));
    for (int32_t i = 0; i < part.edges.count(); ++i) {
      ASSERT_EQ(part.edges[i].neighbour, expected[size_t(i)]) << "round " << round << " slot " << i;
    }
  }
}

TEST(ShadowEdgesTest, SecondBuildKeepsTheListAndShortListsReadNoFurther) {
  MeshObjectX part = PartOf({kA, kB, kC, kC, kB, kD});
  BuildShadowEdgeList(part);
  part.edges[0].neighbour = 7;
  BuildShadowEdgeList(part);
  EXPECT_EQ(part.edges[0].neighbour, 7);
  part.edges[0].neighbour = -1;
  // A frame shorter than frame 0: its missing triangle counts as not facing.
  ComputeFacingFlags(part, part.frames[0].triangles.data(), 3, {0.5f, 0.5f, 10});
  ASSERT_EQ(part.facing.count(), 2);
  EXPECT_EQ(part.facing[1], 0);
  EXPECT_EQ(part.edges[1].silhouette, 1);
}

}  // namespace
