// Shadow-edge adjacency, facing flags and silhouette marks.
#include "gfx3d/shadow_volume_data.h"

#include <gtest/gtest.h>

#include <initializer_list>

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
