// The program's object commands on a scene without a window: building and saving, the object
// number checks, and reading objects back.
#include "gfx3d/model_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/number_text.h"
#include "gfx3d/hit_commands.h"
#include "gfx3d/light_commands.h"
#include "gfx3d/mesh_gpu.h"
#include "gfx3d/scene_draw_commands.h"
#include "tests/support/kmo_golden.h"
#include "tests/support/owned_str.h"
#include "tests/support/scene_commands.h"
#include "tests/support/scene_objects.h"
#include "tests/support/temp_dir.h"

namespace {

using scenetest::AddPart;
using scenetest::Part;

class ModelCommands : public ::testing::Test {
 protected:
  void SetUp() override { testing::internal::CaptureStdout(); }  // the builder reports vertices
  void TearDown() override { testing::internal::GetCapturedStdout(); }

  // The golden triangle through the program's commands, as the tool builds its objects.
  void BuildGoldenTriangle(int32_t object) {
    SetNormalMode(0);
    ASSERT_EQ(BeginModel(object), 1);
    SetModelNormal(0, 0, 0);
    AddModelVertex(0, 0, 0, 0, 0, 0x0000FF);
    AddModelVertex(1, 0, 0, 1, 0, 0x0000FF);
    AddModelVertex(0, 1, 0, 0, 1, 0x00FF00);
    ASSERT_EQ(EndModel(), 1);
  }

  SceneCommandScope scope;
  Rainbows3D& scene = scope.scene;
  TempDir dir;
};

TEST_F(ModelCommands, BuiltTriangleSavesTheGoldenFile) {
  BuildGoldenTriangle(1);
  const std::string name = dir.Child("t.kmo");
  ASSERT_EQ(SaveModel(OwnedStr(name).s, 1), 1);
  const std::string bytes = TempDir::ReadBytes(name);
  EXPECT_EQ(bytes.size(), 128u);
  EXPECT_EQ(Hex({bytes.begin(), bytes.end()}), kGoldenHex);
}

TEST_F(ModelCommands, SaveAnswersZeroWhenNothingWasWritten) {
  BuildGoldenTriangle(1);
  EXPECT_EQ(SaveModel(OwnedStr(dir.Child("no such folder/t.kmo")).s, 1), 0);
  EXPECT_EQ(SaveModel(OwnedStr(dir.Child("free.kmo")).s, 2), 0) << "a free slot";
  EXPECT_EQ(LastErrorCode, 0);
}

TEST_F(ModelCommands, NormalModeKeepsTheSignOfTheRemainder) {
  for (auto [n, stored] : {std::pair{5, 2}, {-1, -1}, {3, 0}, {-5, -2}, {1, 1}}) {
    SetNormalMode(n);
    EXPECT_EQ(scene.normalMode, stored) << n;
  }
}

TEST_F(ModelCommands, FindFreeObjectSearchesFromTheTop) {
  EXPECT_EQ(FindFreeObject(), 4095);
  scene.objects[4095].inUse = 1;
  EXPECT_EQ(FindFreeObject(), 4094);
  for (ObjectSlot& slot : scene.objects) slot.inUse = 1;
  EXPECT_EQ(FindFreeObject(), -1);
}

// -1, 4096 and 1e12 as the program hands them over (1e12 truncates to INT32_MIN).
const int32_t kBadObjects[] = {-1, 4096, TruncToI32(1e12)};

TEST_F(ModelCommands, ObjectNumbersOutsideTheSlotsTouchNothing) {
  BuildGoldenTriangle(0);
  for (int32_t object : kBadObjects) {
    SCOPED_TRACE(object);
    ClearLastError();
    EXPECT_EQ(BeginModel(object), 0);
    EXPECT_EQ(LastErrorCode, 7);
    EXPECT_EQ(BuildObjectIndex, -1);
    AddModelVertex(1, 2, 3, 0, 0, 0xFF);
    EXPECT_EQ(EndModel(), 0);
    EXPECT_EQ(SaveModel(OwnedStr(dir.Child("bad.kmo")).s, object), 0);
    EXPECT_EQ(CountObjectTriangles(object), 0);
    EXPECT_EQ(RefreshObjectShadowData(object), 0);
    ScaleObjectCmd(object, 2, 2, 2);
    DrawObject3D(object, 0);
    DrawObjectTween(object, 0, 1, 0.5, 1);
    EXPECT_EQ(ObjectSphereHit(object, 0, 0, 0, 0, 10), 0);
    EXPECT_EQ(ObjectBoxHit(object, 0, 0, 0, 0, 10, 10, 10), 0);
    EXPECT_EQ(ObjectRayHit(object, 0, 0.2, 0.2, 5, 0, 0, -1), 0.0);
    DimArray data{};
    GetObjectData(object, 0, 0, data);
    EXPECT_EQ(ArrayDimSize(data, 0), 3);
    EXPECT_EQ(ArrayDimSize(data, 1), 9);
    for (int32_t i = 0; i < 27; ++i) EXPECT_EQ(static_cast<double*>(data.data)[i], 0.0);
    ArrayRelease(data);
  }
  EXPECT_EQ(scene.objects[0].inUse, 1) << "the object built before stays";
  EXPECT_EQ(CountObjectTriangles(0), 1);
}

// Object 5: part 0 with two triangles, a part without frames, part 2 with one triangle.
class TwoPartObject : public ModelCommands {
 protected:
  void SetUp() override {
    ModelCommands::SetUp();
    ObjectSlot& slot = scene.objects[5];
    AddPart(slot, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {3, 0, 0}, {2, 1, 0}});
    slot.parts.Append(MeshObjectX{});
    AddPart(slot, {{7, 0, 0}, {8, 0, 0}, {7, 1, 0}});
    MeshVertex& corner = Part(scene, 5, 2).frames[0].triangles[1];
    corner.u = 0.25f;
    corner.v = -0.5f;
    corner.colour = 0x80FF0000;
    corner.normal = {0, 1, 0};
  }
  // Field f of corner c, where the array keeps it.
  static double Field(const DimArray& data, int c, int f) {
    return static_cast<const double*>(data.data)[c + 3 * f];
  }
};

TEST_F(TwoPartObject, CountsFrameZeroTrianglesOverTheParts) {
  EXPECT_EQ(CountObjectTriangles(5), 3);
  EXPECT_EQ(CountObjectTriangles(6), 0);
}

TEST_F(TwoPartObject, ObjectDataWalksThePartsInOrder) {
  DimArray data{};
  ArrayDimNumber(data, 7, 0, 0, 0);
  GetObjectData(5, 0, 0, data);
  EXPECT_EQ(ArrayDimSize(data, 0), 3);
  EXPECT_EQ(ArrayDimSize(data, 1), 9);
  EXPECT_EQ(Field(data, 1, 0), 1.0) << "x of the second corner";
  EXPECT_EQ(Field(data, 2, 1), 1.0) << "y of the third corner";

  GetObjectData(5, 0, 2, data);  // the first part's count: the last part's first triangle
  const double expected[9] = {8, 0, 0, 0.25, -0.5, 2164195328.0, 0, 1, 0};
  for (int f = 0; f < 9; ++f) EXPECT_EQ(Field(data, 1, f), expected[f]) << "field " << f;
  EXPECT_EQ(Field(data, 0, 0), 7.0);

  for (auto [frame, triangle] : {std::pair{0, 3}, {0, -1}, {1, 0}, {-1, 0}}) {
    GetObjectData(5, frame, triangle, data);
    for (int i = 0; i < 27; ++i) {
      ASSERT_EQ(static_cast<double*>(data.data)[i], 0.0) << frame << " " << triangle;
    }
  }
  ArrayRelease(data);
}

TEST_F(TwoPartObject, ScalingDoublesTheBoundingRadius) {
  const float radius = Part(scene, 5, 0).frames[0].radius;
  ScaleObjectCmd(5, 2, 2, 2);
  EXPECT_FLOAT_EQ(Part(scene, 5, 0).frames[0].radius, 2 * radius);
  EXPECT_FLOAT_EQ(Part(scene, 5, 2).frames[0].triangles[0].position.x, 14);
}

TEST_F(TwoPartObject, ShadowRefreshRebuildsStaleEdgeLists) {
  for (int i = 0; i < 5; ++i) Part(scene, 5, 0).edges.Append(ShadowEdge{});
  EXPECT_EQ(RefreshObjectShadowData(5), 1);
  EXPECT_EQ(Part(scene, 5, 0).edges.count(), 6);
  EXPECT_EQ(Part(scene, 5, 2).edges.count(), 3);
  EXPECT_EQ(RefreshObjectShadowData(6), 0) << "a free slot";
}

TEST_F(ModelCommands, CelRampTakesTheLowByteOfEachScaledValue) {
  DimArray values{};
  const double ramp[] = {0.5, 1, 1.5, -0.5, 0};
  ArrayDimNumberFromValues(values, 5, ramp);
  SetCelRampFromArray(values);
  EXPECT_EQ(std::vector<uint8_t>(CelRamp.begin(), CelRamp.end()),
            (std::vector<uint8_t>{127, 255, 126, 129, 0}));

  ArrayDimNumber(values, 2, 3, 0, 0);  // the first dimension's elements, along index 0
  *ArrayNumberAt(values, 1, 0) = 1;
  *ArrayNumberAt(values, 1, 2) = 0.5;
  SetCelRampFromArray(values);
  EXPECT_EQ(std::vector<uint8_t>(CelRamp.begin(), CelRamp.end()), (std::vector<uint8_t>{0, 255}));

  ArrayRelease(values);
  SetCelRampFromArray(values);
  EXPECT_EQ(std::vector<uint8_t>(CelRamp.begin(), CelRamp.end()), std::vector<uint8_t>{255});
}

}  // namespace
