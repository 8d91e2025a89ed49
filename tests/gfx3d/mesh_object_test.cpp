#include "gfx3d/mesh_object.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx3d/mesh_normals.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

MeshVertex Record(uint32_t colour, Vec3 position = {}) {
  MeshVertex vertex;
  vertex.position = position;
  SetVertexColour(vertex, colour, 0);
  return vertex;
}

void AddFrame(MeshObject& mesh, const std::vector<MeshVertex>& records) {
  MeshFrame frame;
  for (const MeshVertex& record : records) frame.buildStream.Append(record);
  mesh.frames.Append(std::move(frame));
}

std::vector<uint8_t> ColourIndexes(const MeshObject& mesh) {
  std::vector<uint8_t> indexes;
  for (const MeshFrame& frame : mesh.frames) {
    for (const MeshVertex& record : frame.buildStream) indexes.push_back(record.colourIndex);
  }
  return indexes;
}

std::vector<uint32_t> Table(const MeshObject& mesh) {
  return {mesh.colourTable.begin(), mesh.colourTable.end()};
}

TEST(ColourTable, FirstAppearanceOrderWithMarkersAsColours) {
  struct Case {
    std::vector<std::vector<uint32_t>> frames;
    std::vector<uint32_t> table;
    std::vector<uint8_t> indexes;
  };
  const Case cases[] = {
      {{{kRed, kGreen, kRed}}, {kRed, kGreen}, {0, 1, 0}},
      {{{kBreakStrip, kRed, kGreen, kRed}}, {kBreakStrip, kRed, kGreen}, {0, 1, 2, 1}},
      // Later frames add their new colours after frame 0's.
      {{{kRed, kRed}, {kGreen, kRed}}, {kRed, kGreen}, {0, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    MeshObject mesh;
    for (const auto& colours : c.frames) {
      std::vector<MeshVertex> records;
      for (uint32_t colour : colours) records.push_back(Record(colour));
      AddFrame(mesh, records);
    }
    mesh.colourTable.Append(0x123456);  // a stale table is rebuilt, not extended
    BuildColourTable(mesh);
    EXPECT_EQ(Table(mesh), c.table);
    EXPECT_EQ(ColourIndexes(mesh), c.indexes);
  }
}

TEST(ColourTable, IndexesWrapAtAByte) {
  MeshObject mesh;
  std::vector<MeshVertex> records;
  for (uint32_t colour = 0; colour < 300; ++colour) records.push_back(Record(colour));
  records.push_back(Record(299));
  AddFrame(mesh, records);
  BuildColourTable(mesh);
  EXPECT_EQ(mesh.colourTable.count(), 300);
  EXPECT_EQ(ColourIndexes(mesh).back(), uint8_t(299));
}

TEST(FrameRecord, AssignCopiesRecordsAndLeavesGrowthOfOne) {
  MeshFrame source;
  for (int32_t i = 0; i < 3; ++i) source.buildStream.Append(Record(kRed, {float(i), 0, 0}));
  source.radius = 2.5f;
  source.centre = {1, 2, 3};
  MeshFrame dest;
  dest.buildStream.Append(Record(kGreen));
  ASSERT_TRUE(FrameRecordAssign(dest, source));
  ASSERT_EQ(dest.buildStream.count(), 3);
  EXPECT_EQ(dest.buildStream[2].position.x, 2.0f);
  EXPECT_EQ(dest.buildStream.growStep(), 1);
  EXPECT_EQ(dest.radius, 2.5f);
  EXPECT_EQ(dest.centre.z, 3.0f);
  EXPECT_TRUE(FrameRecordAssign(dest, dest));
  EXPECT_EQ(dest.buildStream.count(), 3);
}

TEST(MeshClear, EmptiesEverythingAndClearsBothFlags) {
  for (bool freeStorage : {false, true}) {
    MeshObject mesh;
    AddFrame(mesh, {Record(kRed), Record(kRed), Record(kRed)});
    mesh.triangles.Append(Record(kRed));
    BuildColourTable(mesh);
    PrepareMeshNormals(mesh, true, false, true);
    MeshObjectClear(mesh, freeStorage);
    EXPECT_EQ(mesh.frames.count(), 0);
    EXPECT_EQ(mesh.triangles.count(), 0);
    EXPECT_EQ(mesh.colourTable.count(), 0);
    EXPECT_EQ(mesh.normalsDone, 0);
    EXPECT_EQ(mesh.tangentsDone, 0);
    EXPECT_EQ(mesh.frames.data() == nullptr, freeStorage);
  }
}

}  // namespace
