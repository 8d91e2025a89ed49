// Model files loaded into object slots: disk, memory and text forms alike, and every refused
// file leaving the slot empty.
#include "gfx3d/object_loading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"
#include "tests/support/memory_file.h"
#include "tests/support/model_files.h"
#include "tests/support/temp_dir.h"

namespace {

using modeltest::ModelFileBytes;
using modeltest::QuadMesh;

void ExpectEmpty(const ObjectSlot& slot, const std::string& what) {
  EXPECT_EQ(slot.inUse, 0) << what;
  EXPECT_EQ(slot.severalParts, 0) << what;
  EXPECT_EQ(slot.parts.count(), 0) << what;
  EXPECT_EQ(slot.textures.count(), 0) << what;
}

void ExpectSameStreams(const MeshObject& a, const MeshObject& b) {
  ASSERT_EQ(a.frames.count(), b.frames.count());
  for (int32_t f = 0; f < a.frames.count(); ++f) {
    const GrowArray<MeshVertex>& x = a.frames[f].buildStream;
    const GrowArray<MeshVertex>& y = b.frames[f].buildStream;
    ASSERT_EQ(x.count(), y.count());
    for (int32_t i = 0; i < x.count(); ++i) {
      const MeshVertex &p = x[i], &q = y[i];
      EXPECT_EQ(std::tie(p.position.x, p.position.y, p.position.z, p.normal.x, p.normal.y,
                         p.normal.z, p.u, p.v, p.colour, p.colourIndex),
                std::tie(q.position.x, q.position.y, q.position.z, q.normal.x, q.normal.y,
                         q.normal.z, q.u, q.v, q.colour, q.colourIndex));
    }
    EXPECT_EQ(a.frames[f].triangles.count(), b.frames[f].triangles.count());
  }
}

class ObjectLoading : public ::testing::Test {
 protected:
  void TearDown() override { BuildObjectIndex = -1; }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.Child(name);
    TempDir::WriteBytes(path, bytes);
    return path;
  }
  uint32_t Load(const std::string& name, int32_t object) {
    return LoadObjectFile(scene, name.c_str(), object);
  }
  ObjectSlot& Slot(int32_t object) { return scene.objects[object]; }

  TempDir dir{true};  // the model reader's error log lands here
  Rainbows3D scene{nullptr};
  const std::string quad = ModelFileBytes(QuadMesh());
};

TEST_F(ObjectLoading, ModelFromDiskMemoryOrBackslashPathLoadsAlike) {
  std::filesystem::create_directory(dir.Child("models"));
  const std::string path = Write("models/quad.kmo", quad);
  ASSERT_EQ(Load(path, 5), 1u);
  const ObjectSlot& slot = Slot(5);
  EXPECT_EQ(slot.inUse, 1);
  EXPECT_EQ(slot.severalParts, 0);
  ASSERT_EQ(slot.parts.count(), 1);
  const MeshObjectX& part = slot.parts[0];
  EXPECT_EQ(part.frames[0].triangles.count(), 6);  // the strip's two triangles
  EXPECT_EQ(WorkingRecordCount(part), 6);
  EXPECT_GT(part.frames[0].radius, 0.5f);
  EXPECT_EQ(part.colourTable.count(), 3);

  MemoryFile memory(quad);
  ASSERT_EQ(Load(memory.name, 6), 1u);
  ExpectSameStreams(Slot(6).parts[0], part);

  std::string backslashed = path;
  for (char& c : backslashed) {
    if (c == '/') c = '\\';
  }
  ASSERT_EQ(Load(backslashed, 7), 1u);
  ExpectSameStreams(Slot(7).parts[0], part);
}

TEST_F(ObjectLoading, TextModelBecomesTheOnePart) {
  ASSERT_EQ(Load(Write("tri.kmo", modeltest::kTextTriangle), 1), 1u);
  ASSERT_EQ(Slot(1).parts.count(), 1);
  EXPECT_EQ(Slot(1).parts[0].frames[0].triangles.count(), 3);
  EXPECT_EQ(Slot(1).parts[0].frames[0].triangles[0].colour, 0x0000FFu);
}

TEST_F(ObjectLoading, RefusedFilesLeaveNothingOfTheOldObject) {
  const std::string good = Write("good.kmo", quad);
  auto expectRefused = [&](const std::string& name, const std::string& what) {
    ASSERT_EQ(Load(good, 2), 1u);
    EXPECT_EQ(Load(name, 2), 0u) << what;
    ExpectEmpty(Slot(2), what);
  };
  expectRefused("", "empty name");
  expectRefused(dir.Child("missing.kmo"), "missing file");
  expectRefused(dir.path.string(), "a folder");
  expectRefused(Write("short", ";KM"), "shorter than the scene tag");
  expectRefused(Write("comment", ";KMX\n[objects]\ncount=1\n1=good.kmo\n"), "not the tag");
  expectRefused(Write("noframes", "KMOA 1.1 0 0 0"), "text model without frames");
  expectRefused("mem://      20.       0", "forged memory name");
  for (size_t n = 0; n < quad.size(); ++n) {
    expectRefused(Write("cut.kmo", quad.substr(0, n)), "cut to " + std::to_string(n));
  }
}

TEST_F(ObjectLoading, MutatedModelsLoadWholeOrLeaveTheSlotEmpty) {
  for (size_t at = 0; at < quad.size(); ++at) {
    for (char flip : {'\x01', '\x80', '\xFF'}) {
      std::string bytes = quad;
      bytes[at] = char(bytes[at] ^ flip);
      MemoryFile memory(bytes);
      const std::string what = std::to_string(at) + " ^ " + std::to_string(uint8_t(flip));
      if (LoadObjectFile(scene, memory.name.c_str(), 3) == 0) {
        ExpectEmpty(Slot(3), what);
        continue;
      }
      ASSERT_EQ(Slot(3).inUse, 1) << what;
      ASSERT_EQ(Slot(3).parts.count(), 1) << what;
      const MeshObjectX& part = Slot(3).parts[0];
      EXPECT_GT(part.frames[0].buildStream.count(), 0) << what;
      EXPECT_EQ(WorkingRecordCount(part), part.frames[0].triangles.count()) << what;
    }
  }
}

TEST_F(ObjectLoading, LoadingIntoTheObjectBeingBuiltEndsTheBuilding) {
  testing::internal::CaptureStdout();  // the builder reports every vertex
  ObjectStart(scene, 4, 0);
  ObjectAddVertex(scene, 0, 0, 0, 0, 0, 0xFF);
  ASSERT_EQ(Load(Write("quad.kmo", quad), 4), 1u);
  EXPECT_EQ(BuildObjectIndex, -1);
  ObjectAddVertex(scene, 9, 9, 9, 0, 0, 0xFF);
  EXPECT_FALSE(ObjectEnd(scene));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Slot(4).parts[0].frames[0].buildStream.count(), 5);
  EXPECT_EQ(Slot(4).inUse, 1);
}

}  // namespace
