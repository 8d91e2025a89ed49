// Scene files: textures and models found beside the scene file, texture numbers turned into
// indices of the object's texture list, hostile counts, and the textures freed with the object.
#include "gfx3d/scene_file_loading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/str_value.h"
#include "frame/runtime_objects.h"
#include "gfx2d/png_file.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/object_drawing.h"
#include "gfx3d/object_load_command.h"
#include "gfx3d/object_loading.h"
#include "platform/file_system.h"
#include "system/pack_archive.h"
#include "tests/support/object_drawing_fixture.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace drawtest;

// Boxes left and right of the viewer's centre line, white, so a texture shows its own colour.
constexpr Vec3 kLeftLo{-7, -2, -2}, kLeftHi{-3, 2, 2};
constexpr Vec3 kRightLo{3, -2, -2}, kRightHi{7, 2, 2};
constexpr Vec3 kLeftFront{-5, 8, 2}, kRightFront{5, 8, 2};

class SceneFileLoading : public ObjectDrawingGl {
 protected:
  void SetUp() override {
    ObjectDrawingGl::SetUp();
    std::filesystem::create_directory(dir.Child("set"));
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.Child(name);
    TempDir::WriteBytes(path, bytes);
    return path;
  }
  // A white box saved as a binary model file by the model writer.
  std::string BoxModelBytes(Vec3 lo, Vec3 hi) {
    BuildBox(*scene, kScratch, lo, hi, 0x00FFFFFF);
    const std::vector<uint8_t> bytes = EncodeKmoModel(scene->objects[kScratch].parts[0]);
    return std::string(bytes.begin(), bytes.end());
  }
  // As large as the smallest texture, so no padding is sampled at the boxes' corner (0, 0).
  std::string GreenPngBytes() {
    std::vector<uint8_t> green(16 * 16 * 4, 0);
    for (size_t i = 0; i < green.size(); i += 4) green[i + 1] = green[i + 3] = 0xFF;
    const std::string path = dir.Child("green-source.png");
    EXPECT_TRUE(PngSave(path.c_str(), green.data(), 16, 16));
    return TempDir::ReadBytes(path);
  }
  // set/left.kmo, set/right.kmo and set/green.png.
  void WriteSetFiles() {
    Write("set/left.kmo", BoxModelBytes(kLeftLo, kLeftHi));
    Write("set/right.kmo", BoxModelBytes(kRightLo, kRightHi));
    Write("set/green.png", GreenPngBytes());
  }
  uint32_t Load(const std::string& name, int32_t object = 1) {
    return LoadObjectFile(*scene, name.c_str(), object);
  }
  ObjectSlot& Slot(int32_t object = 1) { return scene->objects[object]; }
  std::vector<int32_t> UnitTextures(int unit) {
    std::vector<int32_t> found;
    for (const MeshObjectX& part : Slot().parts) found.push_back(unit ? part.texture1 : part.texture0);
    return found;
  }

  static constexpr int32_t kScratch = 100;
  TempDir dir;
};

const char kTwoBoxScene[] =
    ";KMW two boxes, one green\n"
    "[textures]\ncount = 1\n1 = green.png\n"
    "[objects]\ncount = 2\n1 = left.kmo\n1ta = 1\n2 = right.kmo\n2ta = 7\n";

TEST_F(SceneFileLoading, SubfolderSceneFindsItsFilesAndDrawsAnOutOfListTextureAsNone) {
  WriteSetFiles();
  ASSERT_EQ(Load(Write("set/boxes.kmw", kTwoBoxScene)), 1u);
  EXPECT_EQ(Slot().inUse, 1);
  EXPECT_EQ(Slot().severalParts, 1);
  ASSERT_EQ(Slot().parts.count(), 2);
  ASSERT_EQ(Slot().textures.count(), 1);
  EXPECT_TRUE(glIsTexture(Slot().textures[0]));
  EXPECT_EQ(UnitTextures(0), (std::vector<int32_t>{0, -1}));
  EXPECT_EQ(UnitTextures(1), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(Slot().parts[1].frames[0].triangles.count(), 36);

  BeginViewerFrame();
  DrawObject3D(*scene, 1, 0);
  ExpectColour(At(kLeftFront), 0, 255, 0);
  ExpectColour(At(kRightFront), 255, 255, 255);
}

TEST_F(SceneFileLoading, TextureNumbersBecomeIndicesOrNone) {
  Write("set/left.kmo", BoxModelBytes(kLeftLo, kLeftHi));
  Write("set/green.png", GreenPngBytes());
  const std::string scene =
      ";KMW\n[textures]\ncount=2\n1=green.png\n2=missing.png\n"
      "[objects]\ncount=6\n1=left.kmo\n2=left.kmo\n3=left.kmo\n4=left.kmo\n5=left.kmo\n"
      "6=left.kmo\n1ta=1\n2ta=0\n4ta=7\n5ta=-3\n6ta=2\n1tb=2\n2tb=3\n";
  ASSERT_EQ(Load(Write("set/numbers.kmw", scene)), 1u);
  EXPECT_EQ(UnitTextures(0), (std::vector<int32_t>{0, 0, 0, -1, -1, 1}));
  EXPECT_EQ(UnitTextures(1), (std::vector<int32_t>{1, -1, 0, 0, 0, 0}));
  ASSERT_EQ(Slot().textures.count(), 2);
  EXPECT_EQ(Slot().textures[1], 0u);  // a texture that cannot be read is none
}

TEST_F(SceneFileLoading, HostileAndNegativeCountsAreHeldToTheListedKeys) {
  WriteSetFiles();
  const std::string scene =
      ";KMW\n[textures]\ncount=2000000000\n1=green.png\n"
      "[objects]\ncount=99999999999\n1=left.kmo\n2=right.kmo\n";
  ASSERT_EQ(Load(Write("set/huge.kmw", scene)), 1u);
  EXPECT_EQ(Slot().textures.count(), 2);  // the count key and one name
  ASSERT_EQ(Slot().parts.count(), 3);
  EXPECT_EQ(Slot().parts[1].frames.count(), 1);
  EXPECT_EQ(Slot().parts[2].frames.count(), 0);  // "0" names no file

  ASSERT_EQ(Load(Write("set/negative.kmw", ";KMW\n[textures]\ncount=-5\n1=green.png\n"
                                          "[objects]\ncount=-2000000000\n1=left.kmo\n")),
            1u);
  EXPECT_EQ(Slot().inUse, 1);
  EXPECT_EQ(Slot().textures.count(), 0);
  EXPECT_EQ(Slot().parts.count(), 0);
}

TEST_F(SceneFileLoading, EmptyOrPartlyMissingScenesStillGiveAnObject) {
  WriteSetFiles();
  ASSERT_EQ(Load(Write("set/none.kmw", ";KMW\n[textures]\ncount=0\n[objects]\ncount=0\n")), 1u);
  EXPECT_EQ(Slot().inUse, 1);
  EXPECT_EQ(Slot().severalParts, 1);
  EXPECT_EQ(Slot().parts.count(), 0);

  ASSERT_EQ(Load(Write("set/gap.kmw", ";KMW\n[objects]\ncount=2\n1=gone.kmo\n2=right.kmo\n")),
            1u);
  ASSERT_EQ(Slot().parts.count(), 2);
  EXPECT_EQ(Slot().parts[0].frames.count(), 0);
  EXPECT_EQ(Slot().parts[1].frames.count(), 1);
  BeginViewerFrame();
  DrawObject3D(*scene, 1, 0);
  ExpectColour(At(kRightFront), 255, 255, 255);
}

TEST_F(SceneFileLoading, BareSceneNameFindsItsFilesInTheCurrentFolder) {
  WriteSetFiles();
  Write("set/bare.kmw", ";KMW\n[objects]\ncount=1\n1=right.kmo\n");
  const std::string before = platform::CurrentFolder();
  ASSERT_TRUE(platform::ChangeCurrentFolder(dir.Child("set")));
  const uint32_t loaded = Load("bare.kmw");
  ASSERT_TRUE(platform::ChangeCurrentFolder(before));
  ASSERT_EQ(loaded, 1u);
  EXPECT_EQ(Slot().parts[0].frames.count(), 1);
}

TEST_F(SceneFileLoading, LoadingOverASceneObjectDeletesItsTextures) {
  WriteSetFiles();
  ASSERT_EQ(Load(Write("set/boxes.kmw", kTwoBoxScene)), 1u);
  const uint32_t texture = Slot().textures[0];
  ASSERT_TRUE(glIsTexture(texture));
  ASSERT_EQ(Load(dir.Child("set/right.kmo")), 1u);
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_EQ(Slot().severalParts, 0);
  EXPECT_EQ(Slot().textures.count(), 0);

  ASSERT_EQ(Load(Write("set/boxes.kmw", kTwoBoxScene)), 1u);
  const uint32_t again = Slot().textures[0];
  EXPECT_EQ(Load(dir.Child("set/gone.kmo")), 0u);
  EXPECT_FALSE(glIsTexture(again));
}

TEST_F(SceneFileLoading, PackedSceneFindsItsPackedFiles) {
  using namespace archive_builder;
  const Bytes image = BuildArchive({{"boxes.kmw", Text(kTwoBoxScene)},
                                    {"left.kmo", Text(BoxModelBytes(kLeftLo, kLeftHi))},
                                    {"right.kmo", Text(BoxModelBytes(kRightLo, kRightHi))},
                                    {"green.png", Text(GreenPngBytes())}},
                                   false);
  PackArchiveSetName(MemoryArchive, Write("media.qzx", std::string(image.begin(), image.end())));
  SceneObject = scene;
  LoadObject(StrValue("media/boxes.kmw"), 1);
  SceneObject = nullptr;
  PackArchiveSetName(MemoryArchive, "");
  EXPECT_EQ(LastErrorCode, 0);
  ASSERT_EQ(Slot().parts.count(), 2);
  EXPECT_EQ(Slot().parts[0].frames.count(), 1);
  EXPECT_EQ(Slot().parts[1].frames.count(), 1);
  ASSERT_EQ(Slot().textures.count(), 1);
  EXPECT_TRUE(glIsTexture(Slot().textures[0]));
}

}  // namespace
