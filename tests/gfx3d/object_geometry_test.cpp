#include "gfx3d/object_geometry.h"

#include <gtest/gtest.h>

#include "gfx3d/kmo_binary_file.h"
#include "tests/support/scene_objects.h"
#include "tests/support/temp_dir.h"

namespace {

using scenetest::AddPart;
using scenetest::Part;

TEST(FrameBounds, MeanCentreAndFarthestCorner) {
  Rainbows3D scene(nullptr);
  AddPart(scene.objects[0], {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0}});
  const MeshFrame& frame = Part(scene, 0).frames[0];
  EXPECT_FLOAT_EQ(frame.centre.x, 1);
  EXPECT_FLOAT_EQ(frame.centre.y, 1);
  EXPECT_FLOAT_EQ(frame.radius, std::sqrt(2.0f));
}

TEST(ScaleObject, DoublesTheRadiusAndScalesDirectionsByTheirRule) {
  Rainbows3D scene(nullptr);
  AddPart(scene.objects[0], {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  MeshObjectX& part = Part(scene, 0);
  part.staticBuffer = 0;
  const float radius = part.frames[0].radius;
  ScaleObject(part, {2, 2, 2});
  EXPECT_FLOAT_EQ(part.frames[0].radius, 2 * radius);
  const MeshVertex& listed = part.frames[0].triangles[1];
  EXPECT_FLOAT_EQ(listed.position.x, 2);
  EXPECT_FLOAT_EQ(listed.normal.z, 2);  // the triangle list takes the plain factor
  const MeshVertex& built = part.frames[0].buildStream[1];
  EXPECT_FLOAT_EQ(built.position.x, 2);
  EXPECT_NEAR(built.normal.z, 1 / std::sqrt(3.0f), 1e-6);  // the factor's direction
}

TEST(SaveObjectFile, WritesTheFirstPartAndReportsFailures) {
  TempDir folder;
  Rainbows3D scene(nullptr);
  const std::string good = (folder.path / "saved.kmo").string();
  EXPECT_EQ(SaveObjectFile(scene, good.c_str(), 5), 0);  // never built
  scene.objects[5].inUse = 1;
  EXPECT_EQ(SaveObjectFile(scene, good.c_str(), 5), 0);  // in use without parts
  EXPECT_EQ(SaveObjectFile(scene, good.c_str(), 4096), 0);
  AddPart(scene.objects[6], {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  BuildColourTable(Part(scene, 6));
  EXPECT_EQ(SaveObjectFile(scene, good.c_str(), 6), 1);
  MeshObject loaded;
  ASSERT_EQ(LoadKmoModel(loaded, good.c_str()), 1);
  EXPECT_EQ(loaded.frames.count(), 1);
  const std::string unwritable = (folder.path / "missing" / "saved.kmo").string();
  EXPECT_EQ(SaveObjectFile(scene, unwritable.c_str(), 6), 0);
}

}  // namespace
