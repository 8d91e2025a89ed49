// The program's LoadObject: object numbers checked before anything is touched, names found on
// disk or in the packed media.
#include "gfx3d/object_load_command.h"

#include <gtest/gtest.h>

#include <string>

#include "core/last_error.h"
#include "core/number_text.h"
#include "core/str_value.h"
#include "frame/runtime_objects.h"
#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"
#include "system/pack_archive.h"
#include "tests/support/model_files.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/temp_dir.h"

namespace {

class LoadObjectCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    TempDir::WriteBytes(model, quad);
    SceneObject = &scene;
  }
  void TearDown() override {
    SceneObject = nullptr;
    PackArchiveSetName(MemoryArchive, "");
    BuildObjectIndex = -1;
  }
  bool InUse(int32_t object) const { return scene.objects[object].inUse == 1; }

  TempDir dir{true};
  Rainbows3D scene{nullptr};
  const std::string quad = modeltest::ModelFileBytes(modeltest::QuadMesh());
  const std::string model = dir.Child("quad.kmo");
};

TEST_F(LoadObjectCommand, NumbersOutsideTheSlotsSetError7AndTouchNothing) {
  LoadObject(StrValue(model.c_str()), 0);
  LoadObject(StrValue(model.c_str()), kObjectSlots - 1);
  ASSERT_TRUE(InUse(0) && InUse(kObjectSlots - 1));
  testing::internal::CaptureStdout();  // the builder reports every vertex
  ObjectStart(scene, 7, 0);
  testing::internal::GetCapturedStdout();
  for (int32_t object : {-1, kObjectSlots, TruncToI32(1e12)}) {
    LoadObject(StrValue(model.c_str()), object);
    EXPECT_EQ(LastErrorCode, 7) << object;
  }
  EXPECT_TRUE(InUse(0) && InUse(kObjectSlots - 1));
  EXPECT_EQ(BuildObjectIndex, 7);
  int32_t used = 0;
  for (const ObjectSlot& slot : scene.objects) used += slot.inUse;
  EXPECT_EQ(used, 2);
}

TEST_F(LoadObjectCommand, ANameFoundNowhereEmptiesTheObject) {
  LoadObject(StrValue(model.c_str()), 3);
  ASSERT_TRUE(InUse(3));
  SetLastErrorCode(7);
  LoadObject(StrValue(dir.Child("gone.kmo").c_str()), 3);
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_FALSE(InUse(3));
  EXPECT_EQ(scene.objects[3].parts.count(), 0);
}

TEST_F(LoadObjectCommand, PackedModelsLoadLikeDiskFiles) {
  LoadObject(StrValue(model.c_str()), 1);
  ASSERT_TRUE(InUse(1));

  using namespace archive_builder;
  const std::string archive = dir.Child("media.qzx");
  const Bytes image = BuildArchive({{"packed.kmo", Text(quad)}}, true);
  TempDir::WriteBytes(archive, std::string(image.begin(), image.end()));
  PackArchiveSetName(MemoryArchive, archive);
  LoadObject(StrValue("media/PACKED.KMO"), 2);
  ASSERT_TRUE(InUse(2));
  for (int32_t object : {1, 2}) {
    const MeshObjectX& part = scene.objects[object].parts[0];
    EXPECT_EQ(part.frames[0].buildStream.count(), 5) << object;
    EXPECT_EQ(part.frames[0].triangles.count(), 6) << object;
  }
}

}  // namespace
