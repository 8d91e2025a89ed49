#include "gfx3d/mesh_normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

struct CountingMesh : MeshObject {
  int prepared = 0;
  void MeshObjectPrepareBase() override { ++prepared; }
};

MeshVertex Vertex(Vec3 position, float u = 0, float v = 0) {
  MeshVertex vertex;
  vertex.position = position;
  vertex.u = u;
  vertex.v = v;
  return vertex;
}

MeshVertex Marker(uint32_t code) {
  MeshVertex marker;
  marker.colour = code;
  return marker;
}

void AddFrame(MeshObject& mesh, const std::vector<MeshVertex>& records) {
  MeshFrame frame;
  for (const MeshVertex& record : records) frame.buildStream.Append(record);
  mesh.frames.Append(std::move(frame));
}

const MeshVertex& At(const MeshObject& mesh, int32_t i, int32_t frame = 0) {
  return mesh.frames[frame].buildStream[i];
}

void ExpectVec(Vec3 actual, Vec3 expected) {
  EXPECT_FLOAT_EQ(actual.x, expected.x);
  EXPECT_FLOAT_EQ(actual.y, expected.y);
  EXPECT_FLOAT_EQ(actual.z, expected.z);
}

TEST(MeshNormals, StripQuadTrianglesFaceTheSameWay) {
  for (bool smooth : {false, true}) {
    MeshObject mesh;
    AddFrame(mesh, {Marker(kBreakStrip), Vertex({0, 0, 0}), Vertex({1, 0, 0}), Vertex({0, 1, 0}),
                    Vertex({1, 1, 0})});
    PrepareMeshNormals(mesh, true, smooth, false);
    for (int32_t i = 1; i <= 4; ++i) ExpectVec(At(mesh, i).normal, {0, 0, -1});
    EXPECT_EQ(mesh.normalsDone, 1);
    EXPECT_EQ(mesh.tangentsDone, 0);
  }
}

TEST(MeshNormals, FansSlideLikeStripsButAreNeverNegated) {
  MeshObject mesh;
  // The second triangle is (1,0,0) (0,1,0) (1,1,0), which turns the other way and is not flipped.
  AddFrame(mesh, {Marker(kBreakFan), Vertex({0, 0, 0}), Vertex({1, 0, 0}), Vertex({0, 1, 0}),
                  Vertex({1, 1, 0})});
  PrepareMeshNormals(mesh, true, false, false);
  ExpectVec(At(mesh, 1).normal, {0, 0, -1});
  ExpectVec(At(mesh, 2).normal, {0, 0, 0});  // -1 + 1 cancels: kept unnormalised
  ExpectVec(At(mesh, 4).normal, {0, 0, 1});
}

TEST(MeshNormals, SmoothSharesOneNormalPerPositionFlatDoesNot) {
  // Two triangles of a list that meet at (1, 0, 0) at right angles.
  std::vector<MeshVertex> records = {Vertex({0, 0, 0}), Vertex({1, 0, 0}), Vertex({0, 1, 0}),
                                     Vertex({1, 0, 0}), Vertex({1, 0, 1}), Vertex({1, 1, 0})};
  MeshObject flat, smooth;
  AddFrame(flat, records);
  AddFrame(smooth, records);
  PrepareMeshNormals(flat, true, false, false);
  PrepareMeshNormals(smooth, true, true, false);
  const Vec3 a = At(flat, 1).normal, b = At(flat, 3).normal;
  EXPECT_FALSE(a.x == b.x && a.y == b.y && a.z == b.z);
  ExpectVec(At(smooth, 1).normal, At(smooth, 3).normal);
  EXPECT_NEAR(Dot(At(smooth, 1).normal, At(smooth, 1).normal), 1.0f, 1e-6f);
}

TEST(MeshNormals, SecondCallWithTheSameRequestDoesNothing) {
  CountingMesh mesh;
  AddFrame(mesh, {Vertex({0, 0, 0}), Vertex({1, 0, 0}), Vertex({0, 1, 0})});
  PrepareMeshNormals(mesh, true, false, true);
  mesh.frames[0].buildStream[0].normal = {5, 5, 5};
  PrepareMeshNormals(mesh, true, false, true);
  EXPECT_EQ(mesh.prepared, 1);
  EXPECT_EQ(At(mesh, 0).normal.x, 5.0f);
  // A request that adds tangents runs again, for the tangents only.
  CountingMesh normalsOnly;
  AddFrame(normalsOnly,
           {Vertex({0, 0, 0}, 0, 0), Vertex({1, 0, 0}, 1, 0), Vertex({0, 1, 0}, 0, 1)});
  PrepareMeshNormals(normalsOnly, true, false, false);
  normalsOnly.frames[0].buildStream[0].normal = {5, 5, 5};
  PrepareMeshNormals(normalsOnly, true, false, true);
  EXPECT_EQ(normalsOnly.prepared, 2);
  EXPECT_EQ(At(normalsOnly, 0).normal.x, 5.0f);
  ExpectVec(At(normalsOnly, 0).tangent, {1, 0, 0});
}

TEST(MeshTangents, FollowTheTextureAxesAndReuseTheLastUsablePair) {
  MeshObject mesh;
  // Triangle 1 has no texture area (zero tangents before any usable one); triangle 2 maps u to
  // +x and v to +y; triangle 3 again has none, so it adds triangle 2's pair once more.
  AddFrame(mesh, {Vertex({0, 0, 5}), Vertex({1, 0, 5}), Vertex({0, 1, 5}),  //
                  Vertex({0, 0, 0}, 0, 0), Vertex({2, 0, 0}, 1, 0), Vertex({0, 2, 0}, 0, 1),
                  Vertex({0, 0, 9}, 3, 3), Vertex({1, 0, 9}, 3, 3), Vertex({0, 1, 9}, 3, 3)});
  PrepareMeshNormals(mesh, false, false, true);
  ExpectVec(At(mesh, 0).tangent, {0, 0, 0});
  ExpectVec(At(mesh, 0).bitangent, {0, 0, 0});
  ExpectVec(At(mesh, 4).tangent, {1, 0, 0});
  ExpectVec(At(mesh, 4).bitangent, {0, 1, 0});
  ExpectVec(At(mesh, 8).tangent, {1, 0, 0});
  EXPECT_EQ(mesh.tangentsDone, 1);
  EXPECT_EQ(mesh.normalsDone, 1);
}

TEST(MeshNormals, MarkersOnlyFrameKeepsItsNormals) {
  MeshObject mesh;
  MeshVertex marker = Marker(kBreakTriangleList);
  marker.normal = {1, 2, 3};
  AddFrame(mesh, {marker, marker, marker});
  PrepareMeshNormals(mesh, true, true, true);
  ExpectVec(At(mesh, 2).normal, {1, 2, 3});
}

TEST(MeshNormals, LaterFrameLongerThanFrameZeroIsHandledWhole) {
  MeshObject mesh;
  AddFrame(mesh, {Vertex({0, 0, 0}), Vertex({1, 0, 0}), Vertex({0, 1, 0})});
  std::vector<MeshVertex> longer;
  for (int32_t i = 0; i < 600; ++i)
    longer.push_back(Vertex({float(i % 3 == 1), float(i % 3 == 2), 0}));
  AddFrame(mesh, longer);
  PrepareMeshNormals(mesh, true, false, false);
  ExpectVec(At(mesh, 599, 1).normal, {0, 0, -1});
}

TEST(SmoothKey, ScaledPositionTruncatedToItsLow32Bits) {
  EXPECT_EQ(SmoothVertexKey({1, 0, 0}), 256u);
  EXPECT_EQ(SmoothVertexKey({0.9f, 0, 0}), 230u);
  EXPECT_EQ(SmoothVertexKey({-1, 0, 0}), uint32_t(-256));
  EXPECT_EQ(SmoothVertexKey({0, 0, 256}), 0u);  // 2^32 wraps
  EXPECT_EQ(SmoothVertexKey({0, 0, std::numeric_limits<float>::quiet_NaN()}), 0u);
  EXPECT_EQ(SmoothVertexKey({0, 0, 1e30f}), 0u);
}

// A stream like a voxel model's: many records on a small grid of positions, all run kinds.
MeshObject RandomMesh(uint32_t seed, int32_t records, int32_t frames) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> grid(-6, 6), kind(0, 40), uv(0, 4);
  MeshObject mesh;
  for (int32_t f = 0; f < frames; ++f) {
    std::vector<MeshVertex> stream;
    for (int32_t i = 0; i < records; ++i) {
      int k = kind(random);
      if (k < 3) {
        stream.push_back(Marker(k == 0 ? kBreakTriangleList : k == 1 ? kBreakStrip : kBreakFan));
        continue;
      }
      stream.push_back(Vertex({grid(random) * 0.5f, float(grid(random)), grid(random) * 0.25f},
                              uv(random) * 0.25f, uv(random) * 0.25f));
    }
    AddFrame(mesh, stream);
  }
  return mesh;
}

// Every field bit for bit; the three padding bytes after colourIndex are left out, since no copy
// of a record is bound to keep them (an optimised build copies field by field).
bool SameFieldBits(const MeshVertex& a, const MeshVertex& b) {
  return std::memcmp(&a, &b, offsetof(MeshVertex, colourIndex) + 1) == 0 &&
         std::memcmp(a.rgba, b.rgba, sizeof a.rgba) == 0;
}

TEST(MeshNormals, HashAndLinearSearchGiveBitIdenticalResults) {
  for (bool smooth : {true, false}) {
    MeshObject hashed = RandomMesh(19, 10000, 2);
    MeshObject linear = RandomMesh(19, 10000, 2);
    PrepareMeshNormalsWith(hashed, true, smooth, true, SharedKeySearch::Hash);
    PrepareMeshNormalsWith(linear, true, smooth, true, SharedKeySearch::Linear);
    for (int32_t f = 0; f < 2; ++f) {
      const GrowArray<MeshVertex>& a = hashed.frames[f].buildStream;
      const GrowArray<MeshVertex>& b = linear.frames[f].buildStream;
      ASSERT_EQ(a.count(), b.count());
      for (int32_t i = 0; i < a.count(); ++i) {
        ASSERT_TRUE(SameFieldBits(a[i], b[i])) << "smooth " << smooth << " frame " << f << " " << i;
      }
    }
  }
}

}  // namespace
