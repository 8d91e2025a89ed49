#include "gfx3d/collision_queries.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx3d/transforms.h"
#include "tests/support/scene_objects.h"

namespace {

using scenetest::AddPart;
using scenetest::Part;

class CollisionQueries : public ::testing::Test {
 protected:
  void SetUp() override { ResetLastHitForTests(); }
  Rainbows3D scene{nullptr};
};

// Two triangles side by side in the plane z = 0: [0, 1] x [0, 1] and [2, 3] x [0, 1].
void AddTwoTriangles(Rainbows3D& scene, int object) {
  AddPart(scene.objects[object],
          {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {3, 0, 0}, {2, 1, 0}});
}

TEST_F(CollisionQueries, SphereHoldingTheFirstVertexHitsWithoutATriangle) {
  AddTwoTriangles(scene, 1);
  EXPECT_TRUE(ObjectSphereCollide(scene, 1, 0, {0, 0, 0.1f}, 0.2f));
  EXPECT_EQ(LastHitVertex(), -1);
  EXPECT_EQ(LastHitTriangle(), 0);
}

TEST_F(CollisionQueries, SphereReportsTheTriangleItTouches) {
  AddTwoTriangles(scene, 1);
  EXPECT_TRUE(ObjectSphereCollide(scene, 1, 0, {2.2f, 0.2f, 0.1f}, 0.2f));
  EXPECT_EQ(LastHitVertex(), 3);
  EXPECT_EQ(LastHitTriangle(), 1);
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 0, {1.5f, 0.8f, 0.1f}, 0.2f));
  EXPECT_EQ(LastHitVertex(), -1);
}

TEST_F(CollisionQueries, RayTakesTheNearestHitAheadElseTheNearestBehind) {
  AddTwoTriangles(scene, 1);
  AddPart(scene.objects[2], {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}, {0, 0, -3}, {1, 0, -3}, {0, 1, -3}});
  EXPECT_FLOAT_EQ(ObjectRayCollide(scene, 2, 0, {0.2f, 0.2f, 1}, {0, 0, 2}), 4.0f);
  EXPECT_EQ(LastHitVertex(), 0);
  EXPECT_FLOAT_EQ(ObjectRayCollide(scene, 1, 0, {2.2f, 0.2f, 2}, {0, 0, 1}), -2.0f);
  EXPECT_EQ(LastHitTriangle(), 1);
  EXPECT_FLOAT_EQ(ObjectRayCollide(scene, 1, 0, {5, 5, 2}, {0, 0, 1}), 0.0f);
  EXPECT_EQ(LastHitVertex(), -1);
}

TEST_F(CollisionQueries, RayOverSeveralPartsKeepsTheNearestAhead) {
  AddPart(scene.objects[3], {{0, 0, -6}, {1, 0, -6}, {0, 1, -6}});
  AddPart(scene.objects[3], {{0, 0, -2}, {1, 0, -2}, {0, 1, -2}});
  EXPECT_FLOAT_EQ(ObjectRayCollide(scene, 3, 0, {0.2f, 0.2f, 0}, {0, 0, -1}), 2.0f);
}

TEST_F(CollisionQueries, FramesAndObjectsThatDoNotExistNeverHit) {
  AddTwoTriangles(scene, 1);
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 1, {0, 0, 0}, 5));
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, -1, {0, 0, 0}, 5));
  EXPECT_FALSE(ObjectBoxCollide(scene, 1, 3, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}));
  EXPECT_EQ(ObjectRayCollide(scene, 1, 2, {0.2f, 0.2f, 1}, {0, 0, -1}), 0.0f);
  EXPECT_EQ(ObjectRayCast(scene, 1, 2, {0.2f, 0.2f, 1}, {0, 0, -1}, 10), 0.0f);
  for (int object : {-1, 0, 4096}) {
    EXPECT_FALSE(ObjectSphereCollide(scene, object, 0, {0, 0, 0}, 5));
    EXPECT_EQ(ObjectRayCollide(scene, object, 0, {0.2f, 0.2f, 1}, {0, 0, -1}), 0.0f);
  }
  scene.objects[1].inUse = 0;
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 0, {0, 0, 0}, 5));
}

// The object turned a quarter about y and moved to x = 10: its plane z = 0 becomes the world
// plane x = 10, its x axis the world's -z axis.
class PlacedObject : public CollisionQueries {
 protected:
  void SetUp() override {
    CollisionQueries::SetUp();
    AddPart(scene.objects[1], {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    SetMovement(scene, 10, 0, 0);
    AddRotation(scene, 90, 0, 1, 0);
  }
};

TEST_F(PlacedObject, BoxHitsWhereTheObjectIsNotWhereItsDataIs) {
  const Vec3 a{0.1f, 0, 0}, b{0, 0.1f, 0}, c{0, 0, 0.1f};
  EXPECT_TRUE(ObjectBoxCollide(scene, 1, 0, {10, 0.2f, -0.2f}, a, b, c));
  EXPECT_FALSE(ObjectBoxCollide(scene, 1, 0, {0.2f, 0.2f, 0}, a, b, c));
}

TEST_F(PlacedObject, SphereAndRayFollowThePlacement) {
  EXPECT_TRUE(ObjectSphereCollide(scene, 1, 0, {10.1f, 0.2f, -0.2f}, 0.15f));
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 0, {0.2f, 0.2f, 0.1f}, 0.15f));
  EXPECT_NEAR(ObjectRayCollide(scene, 1, 0, {0, 0.2f, -0.2f}, {1, 0, 0}), 10.0f, 1e-5);
}

TEST_F(PlacedObject, ConeHitsTheObjectAndANarrowConeAimedAwayMisses) {
  const Vec3 start{0, 0.2f, -0.2f};
  EXPECT_EQ(ObjectRayCast(scene, 1, 0, start, {1, 0, 0}, 5), 1.0f);
  const float away = 30.0f * float(M_PI) / 180.0f;
  const Vec3 turned{std::cos(away), 0, std::sin(away)};
  EXPECT_EQ(ObjectRayCast(scene, 1, 0, start, turned, 5), 0.0f);
  // Wide enough to take in the triangle again.
  EXPECT_EQ(ObjectRayCast(scene, 1, 0, start, turned, 40), 1.0f);
  // Aimed where the unplaced data lie, from beside them.
  EXPECT_EQ(ObjectRayCast(scene, 1, 0, {0.2f, 0.2f, 5}, {0, 0, -1}, 5), 0.0f);
}

TEST_F(PlacedObject, EntityBoxFollowsThePlacement) {
  EXPECT_TRUE(EntitySphereBoxTest(scene, {10, 0, 0}, 0.0f, {1, 1, 1}));
  EXPECT_TRUE(EntitySphereBoxTest(scene, {11.5f, 0, 0}, 0.6f, {1, 1, 1}));
  EXPECT_FALSE(EntitySphereBoxTest(scene, {11.5f, 0, 0}, 0.4f, {1, 1, 1}));
}

TEST_F(CollisionQueries, BoxReachingABoundingSphereWithATriangleInsideHits) {
  // A box of corner distance 1 whose corner points at a frame of radius 1, 1.8 away, with a
  // small triangle inside both. Summing squared radii would reject it unseen.
  const float r = std::sqrt(2.0f / 9.0f);
  const Vec3 a{1.0f / 3, r, 0};
  const Vec3 b{1.0f / 3, r * std::cos(2.0943951f), r * std::sin(2.0943951f)};
  const Vec3 c{1.0f / 3, r * std::cos(4.1887902f), r * std::sin(4.1887902f)};
  AddPart(scene.objects[1], {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1},
                             {0.94f, -0.01f, 0}, {0.96f, -0.01f, 0}, {0.95f, 0.01f, 0}});
  MeshFrame& frame = Part(scene, 1).frames[0];
  frame.centre = {0, 0, 0};
  frame.radius = 1.0f;
  EXPECT_TRUE(ObjectBoxCollide(scene, 1, 0, {1.8f, 0, 0}, a, b, c));
  EXPECT_EQ(LastHitTriangle(), 1);
}

TEST_F(CollisionQueries, ScaledEntityTakesTheSphereIntoObjectSpaceDividedByTheScale) {
  AddPart(scene.objects[1], {{0.5f, -1, -1}, {0.5f, 1, -1}, {0.5f, 0, 1}});
  SetScaling(scene, 2, 2, 2);
  EXPECT_TRUE(ObjectSphereCollide(scene, 1, 0, {1.1f, 0, 0}, 0.2f));
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 0, {1.3f, 0, 0}, 0.2f));
  EXPECT_NEAR(ObjectRayCollide(scene, 1, 0, {0, 0, 0}, {1, 0, 0}), 1.0f, 1e-6);
}

TEST_F(CollisionQueries, ASingularEntityMatrixHitsNothing) {
  AddTwoTriangles(scene, 1);
  SetScaling(scene, 0, 1, 1);
  EXPECT_FALSE(ObjectSphereCollide(scene, 1, 0, {0, 0, 0}, 5));
  EXPECT_EQ(ObjectRayCollide(scene, 1, 0, {0.2f, 0.2f, 1}, {0, 0, -1}), 0.0f);
  EXPECT_FALSE(EntitySphereBoxTest(scene, {0, 0, 0}, 1, {1, 1, 1}));
}

}  // namespace
