// The program's hit commands on a scene without a window: the shapes the commands make from
// their arguments, and the last hit they leave.
#include "gfx3d/hit_commands.h"

#include <gtest/gtest.h>

#include "gfx3d/shader_commands.h"
#include "gfx3d/transform_commands.h"
#include "tests/support/debug_capture.h"
#include "tests/support/scene_commands.h"
#include "tests/support/scene_objects.h"

namespace {

// Object 1: a triangle in the plane z = 0 around the origin, then one far off along +y.
class HitCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    scenetest::AddPart(scope.scene.objects[1],
                       {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}, {-1, 5, 0}, {1, 5, 0}, {0, 7, 0}});
  }
  SceneCommandScope scope;
};

TEST_F(HitCommands, SpheresReportTheTriangleTheyTouch) {
  EXPECT_EQ(ObjectSphereHit(1, 0, 0, 6, 0.5, 0.6), 1);
  EXPECT_EQ(LastHitTriangleCmd(), 1);
  EXPECT_EQ(ObjectSphereHit(1, 0, -1, -1, 0, 0.1), 1) << "holds the first corner";
  EXPECT_EQ(LastHitTriangleCmd(), 0);
  EXPECT_EQ(ObjectSphereHit(1, 0, 0, 3, 0, 0.5), 0);
  EXPECT_EQ(ObjectSphereHit(1, 1, 0, 0, 0, 5), 0) << "a frame the object lacks";
}

TEST_F(HitCommands, BoxSizesRunAlongTheirOwnAxes) {
  // Thin along x and z, 8 tall: reaches the far triangle only when sy spans y.
  EXPECT_EQ(ObjectBoxHit(1, 0, 0, 2, 0, 0.2, 8, 0.2), 1);
  EXPECT_EQ(ObjectBoxHit(1, 0, 0, 3, 0, 0.2, 0.2, 8), 0);
  EXPECT_EQ(ObjectBoxHit(1, 0, 2.5, 6, 0, 4.2, 0.2, 0.2), 1) << "sx spans x";
  EXPECT_EQ(ObjectBoxHit(1, 0, 2.5, 6, 0, 3.8, 0.2, 0.2), 0) << "sizes are whole, not half";
}

TEST_F(HitCommands, RaysMeasureAlongTheNormalisedDirection) {
  EXPECT_FLOAT_EQ(float(ObjectRayHit(1, 0, 0, 0, 4, 0, 0, -10)), 4);
  EXPECT_FLOAT_EQ(float(ObjectRayHit(1, 0, 0, 6, 4, 0, 0, 3)), -4) << "only behind the start";
  EXPECT_EQ(LastHitTriangleCmd(), 1);
  EXPECT_EQ(ObjectRayHit(1, 0, 0, 3, 4, 0, 0, -1), 0.0);
}

TEST_F(HitCommands, SphereBoxSizesAreWholeAndMoveWithTheEntity) {
  EXPECT_EQ(SphereBoxHit(0.9, 0, 0, 0, 2, 2, 2), 1);
  EXPECT_EQ(SphereBoxHit(0.9, 0, 0, 0, 1, 2, 2), 0);
  EXPECT_EQ(SphereBoxHit(1.2, 0, 0, 0.25, 2, 2, 2), 1);
  SetMovement(10, 0, 0);
  EXPECT_EQ(SphereBoxHit(10.9, 0, 0, 0, 2, 2, 2), 1);
  EXPECT_EQ(SphereBoxHit(0.9, 0, 0, 0, 2, 2, 2), 0);
}

TEST(ShaderLog, ReachesTheDebuggerOnlyInDebugRuns) {
  SceneCommandScope scope;
  DebugCapture capture;
  ShaderLogCallback("0:1(1): error: syntax");
  EXPECT_TRUE(capture.lines.empty());
  DebugFlag = 1;
  ShaderLogCallback("0:1(1): error: syntax");
  ASSERT_EQ(capture.lines.size(), 1u);
  EXPECT_EQ(capture.lines[0], "TX0:1(1): error: syntax\n");
}

}  // namespace
