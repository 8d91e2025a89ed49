#include "gfx3d/model_building.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/kmo_normal_table.h"
#include "gfx3d/mesh_normals.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "tests/support/debug_capture.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uint32_t kRed = 0x000000FF;

struct Corner {
  float x, y, z, u, v;
};

constexpr float kUv = 0.125f;  // one texture cell of the 8-cell grid

// The six faces of the voxel at cell (1, 1, 1), in the tool's pass order and corner order.
const Corner kVoxelFaces[6][4] = {
    {{-2, -3, -3, kUv, 0}, {-2, -2, -3, kUv, kUv}, {-3, -3, -3, 0, 0}, {-3, -2, -3, 0, kUv}},
    {{-2, -2, -2, kUv, kUv}, {-2, -3, -2, kUv, 0}, {-3, -2, -2, 0, kUv}, {-3, -3, -2, 0, 0}},
    {{-3, -2, -3, 0, 0}, {-2, -2, -3, kUv, 0}, {-3, -2, -2, 0, kUv}, {-2, -2, -2, kUv, kUv}},
    {{-3, -3, -2, 0, kUv}, {-2, -3, -2, kUv, kUv}, {-3, -3, -3, 0, 0}, {-2, -3, -3, kUv, 0}},
    {{-3, -2, -3, 0, kUv}, {-3, -2, -2, kUv, kUv}, {-3, -3, -3, 0, 0}, {-3, -3, -2, kUv, 0}},
    {{-2, -2, -2, kUv, kUv}, {-2, -2, -3, 0, kUv}, {-2, -3, -2, kUv, 0}, {-2, -3, -3, 0, 0}},
};

bool Same(Vec3 a, Vec3 b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

template <class T>
T ReadAt(const std::string& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// A scene without a window; building leaves nothing behind for the next test.
struct Building : ::testing::Test {
  std::unique_ptr<Rainbows3D> scene = std::make_unique<Rainbows3D>(nullptr);
  ~Building() override { BuildObjectIndex = -1; }

  ObjectSlot& Slot(int n) { return scene->objects[n]; }
  MeshObjectX& Part(int n) { return Slot(n).parts[0]; }
  void AddVertices(int count, uint32_t colour = kRed) {
    for (int i = 0; i < count; ++i)
      ObjectAddVertex(*scene, float(i), float(i % 2), 0, 0, 0, colour);
  }
  // Object 2: two frames of one strip each.
  void BuildTwoFrameStrip(int verticesPerFrame) {
    ::testing::internal::CaptureStdout();
    ObjectStart(*scene, 2, 1);
    AddVertices(verticesPerFrame);
    ObjectSelectFrame(*scene, 1);
    AddVertices(verticesPerFrame);
    ASSERT_TRUE(ObjectEnd(*scene));
    ::testing::internal::GetCapturedStdout();
  }
};

TEST_F(Building, SingleVoxelWritesTheGoldenModelFile) {
  ::testing::internal::CaptureStdout();
  ObjectStart(*scene, 1, 1);
  for (const auto& face : kVoxelFaces) {
    ObjectAddBreak(*scene, 1);
    for (const Corner& c : face) ObjectAddVertex(*scene, c.x, c.y, c.z, c.u, c.v, kRed);
  }
  ASSERT_TRUE(ObjectEnd(*scene));
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.substr(0, 16), "0 3\n0 4\n0 5\n0 6\n");
  EXPECT_EQ(printed.substr(printed.size() - 5), "0 31\n");
  EXPECT_EQ(WorkingRecordCount(Part(1)), 6 * 2 * 3);

  TempDir dir;
  const std::string path = dir.Child("one.kmo");
  ASSERT_EQ(SaveKmoModel(Part(1), path.c_str()), 1);
  const std::string file = TempDir::ReadBytes(path);
  ASSERT_EQ(file.size(), 718u);
  EXPECT_EQ(ReadAt<uint32_t>(file, 0), 0x00C6B317u);
  EXPECT_EQ(ReadAt<double>(file, 4), 2.0);
  EXPECT_EQ(ReadAt<uint32_t>(file, 12), 1u);   // frames
  EXPECT_EQ(ReadAt<uint32_t>(file, 16), 2u);   // colours
  EXPECT_EQ(ReadAt<uint32_t>(file, 20), 31u);  // records
  EXPECT_EQ(ReadAt<uint32_t>(file, 24), kBreakStrip);
  EXPECT_EQ(ReadAt<uint32_t>(file, 28), kRed);
  EXPECT_EQ(ReadAt<uint32_t>(file, 280), 31u);
  for (int record = 0; record < 31; ++record) {
    SCOPED_TRACE(record);
    const size_t uv = 32 + 8 * size_t(record), data = 284 + 14 * size_t(record);
    const float u = ReadAt<float>(file, uv), v = ReadAt<float>(file, uv + 4);
    const Vec3 p{ReadAt<float>(file, data), ReadAt<float>(file, data + 4),
                 ReadAt<float>(file, data + 8)};
    const uint8_t colourIndex = uint8_t(file[data + 13]);
    const bool marker = record < 2 || (record - 1) % 5 == 0;
    if (marker) {
      EXPECT_EQ(u, 0.0f);
      EXPECT_EQ(v, 0.0f);
      EXPECT_TRUE(Same(p, Vec3{}));
      EXPECT_EQ(colourIndex, 0);
      continue;
    }
    const int face = (record - 2) / 5, corner = (record - 2) % 5;
    const Corner& c = kVoxelFaces[face][corner];
    EXPECT_EQ(u, c.u);
    EXPECT_EQ(v, -c.v);
    EXPECT_TRUE(std::signbit(v));  // v = 0 is stored as -0.0
    EXPECT_TRUE(Same(p, Vec3{c.x, c.y, c.z}));
    EXPECT_EQ(colourIndex, 1);
    // Smooth normals of a cube corner point along its diagonal, away from the centre.
    const Vec3 diagonal = NormaliseOrKeep(p - Vec3{-2.5f, -2.5f, -2.5f});
    const Vec3 stored = KmoNormalTable[uint8_t(file[data + 12])];
    EXPECT_GT(Dot(stored, diagonal), 0.9f);
  }
}

TEST_F(Building, FrameOfAnotherLengthIsRefusedWithItsCounts) {
  ::testing::internal::CaptureStdout();
  DebugCapture capture;
  for (int extra : {8, 9}) {
    ObjectStart(*scene, 3, 1);
    AddVertices(9);
    ObjectSelectFrame(*scene, 1);
    AddVertices(extra);
    EXPECT_EQ(ObjectEnd(*scene), extra == 9);
    EXPECT_EQ(Slot(3).inUse, extra == 9 ? 1 : 0);
    EXPECT_EQ(BuildObjectIndex, -1);
  }
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(capture.lines, std::vector<std::string>{
                               "TXFrame 1 has 9 nodes, but must have (like frame 0) 10 nodes\n"});
  // The refused object keeps its frames as built.
  ObjectStart(*scene, 3, 1);
  EXPECT_EQ(Part(3).frames.count(), 1);
}

TEST_F(Building, SmallObjectsAndVertexFields) {
  ::testing::internal::CaptureStdout();
  ObjectStart(*scene, 0, 1);
  AddVertices(1);
  EXPECT_FALSE(ObjectEnd(*scene));
  EXPECT_EQ(Slot(0).inUse, 0);

  ObjectStart(*scene, 0, 1);
  AddVertices(2);
  EXPECT_TRUE(ObjectEnd(*scene));
  EXPECT_EQ(Part(0).frames[0].triangles.count(), 0);

  ObjectStart(*scene, 0, 0);
  SetBuildVertexNormal(*scene, 0, 1, 0);
  ObjectAddVertex(*scene, 1, 2, 3, 0.5f, 0.25f, 0x000000FF);
  ObjectAddVertex(*scene, 0, 0, 0, 0, 0, 0xFFFFFFFC);
  ObjectSelectFrame(*scene, -1);
  EXPECT_EQ(scene->frameBeingBuilt, 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "0 2\n0 2\n0 3\n0 2\n0 3\n");
  const GrowArray<MeshVertex>& stream = Part(0).frames[0].buildStream;
  ASSERT_EQ(stream.count(), 3);
  EXPECT_EQ(stream[0].colour, kBreakTriangleList);
  EXPECT_TRUE(Same(stream[0].normal, Vec3{}));
  EXPECT_EQ(stream[1].v, -0.25f);
  EXPECT_TRUE(Same(stream[1].normal, Vec3{0, 1, 0}));
  EXPECT_EQ((std::vector<float>(stream[1].rgba, stream[1].rgba + 4)),
            (std::vector<float>{1, 0, 0, 1}));
  EXPECT_EQ((std::vector<float>(stream[2].rgba, stream[2].rgba + 4)),
            (std::vector<float>{1, 1, 1, 1}));
}

TEST_F(Building, IdleCallsAndObjectNumbersOutsideTheTableTouchNothing) {
  ::testing::internal::CaptureStdout();
  for (int n : {-1, 4096, INT32_MIN}) {
    ObjectStart(*scene, n, 1);
    EXPECT_EQ(BuildObjectIndex, -1);
  }
  AddVertices(3);
  ObjectAddBreak(*scene, 1);
  ObjectSelectFrame(*scene, 2);
  EXPECT_FALSE(ObjectEnd(*scene));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  for (const ObjectSlot& slot : scene->objects) ASSERT_TRUE(slot.parts.empty());
}

TEST_F(Building, StartingAgainEmptiesEveryPartOfTheSlot) {
  ObjectSlot& slot = Slot(5);
  slot.parts.Append(MeshObjectX{});
  slot.parts.Append(MeshObjectX{});
  slot.severalParts = 1;
  ObjectStart(*scene, 5, 1);
  EXPECT_EQ(slot.parts.count(), 1);
  EXPECT_EQ(slot.severalParts, 0);
  EXPECT_EQ(BuildObjectIndex, 5);
}

TEST_F(Building, FinishedListsHoldNoSlackAndReleasedStreamsKeepOnlyAStub) {
  BuildTwoFrameStrip(600);
  MeshObjectX& part = Part(2);
  for (const GrowArray<MeshVertex>* list :
       {&part.frames[0].buildStream, &part.frames[0].triangles, &part.triangles}) {
    EXPECT_EQ(list->capacity(), list->count());
  }
  const int32_t triangleRecords = part.frames[1].triangles.count();
  ObjectReleaseBuildStreams(*scene, 2);
  ObjectReleaseBuildStreams(*scene, 4096);
  for (const MeshFrame& frame : part.frames) {
    EXPECT_EQ(frame.buildStream.count(), 3);
    EXPECT_EQ(frame.buildStream.capacity(), 3);
    EXPECT_EQ(frame.triangles.count(), triangleRecords);
  }
  EXPECT_EQ(WorkingRecordCount(part), triangleRecords);
}

TEST_F(Building, DroppingVertexDataKeepsAStubAndTheWorkingList) {
  BuildTwoFrameStrip(6);
  const int working = WorkingRecordCount(Part(2));
  ObjectDropVertexData(*scene, 2);
  ObjectDropVertexData(*scene, 4096);
  MeshObjectX& part = Part(2);
  ASSERT_EQ(part.frames.count(), 1);
  EXPECT_EQ(part.frames[0].buildStream.count(), 3);
  EXPECT_EQ(part.frames[0].triangles.count(), 1);
  EXPECT_TRUE(part.colourTable.empty());
  EXPECT_EQ(part.triangles.count(), working);
  TempDir dir;  // what is left cannot be read back, so it is not written
  EXPECT_EQ(SaveKmoModel(part, dir.Child("stub.kmo").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.Child("stub.kmo")));
}

// Released and dropped streams are one stub state: the file would hold a few records of a large
// model and load without complaint, and normals would triangulate the stub over the real lists.
TEST_F(Building, StubStreamsAreNeitherSavedNorGivenNormals) {
  TempDir dir;
  const std::string path = dir.Child("stub.kmo");
  for (void (*cut)(Rainbows3D&, int32_t) : {ObjectReleaseBuildStreams, ObjectDropVertexData}) {
    BuildTwoFrameStrip(300);
    cut(*scene, 2);
    const int32_t working = WorkingRecordCount(Part(2));
    PrepareMeshNormals(Part(2), true, true, true);
    EXPECT_EQ(Part(2).tangentsDone, 0);
    EXPECT_EQ(WorkingRecordCount(Part(2)), working);
    EXPECT_EQ(SaveObjectFile(*scene, path.c_str(), 2), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

TEST_F(Building, ACopiedPartEqualsItsSourceAndOutlivesIt) {
  BuildTwoFrameStrip(6);
  MeshObjectX& source = Part(2);
  WorkingList(source);
  source.edges.Append(ShadowEdge{1, 1});
  source.facing.Append(1);
  MeshObjectX copy;
  EXPECT_EQ(&MeshObjectXAssign(copy, source), &copy);
  const std::vector<uint8_t> file = EncodeKmoModel(source);
  const int32_t working = WorkingRecordCount(source);
  ClearMeshObjectX(source, true);
  EXPECT_EQ(EncodeKmoModel(copy), file);
  EXPECT_EQ(copy.triangles.count(), working);
  EXPECT_EQ(copy.frames[1].triangles.count(), working);
  EXPECT_EQ(copy.hasColours + copy.edges.count() + copy.facing.count(), 3u);
}

}  // namespace
