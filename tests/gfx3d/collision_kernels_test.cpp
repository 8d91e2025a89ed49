#include "gfx3d/collision_kernels.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The unit right triangle in the plane z = 0.
const Vec3 kTriangle[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

TEST(PointInTriangle, CentroidInsideBeyondAnEdgeAndCornersOutside) {
  struct Case {
    Vec3 point;
    int inside;
  } cases[] = {
      {{1.0f / 3, 1.0f / 3, 0}, 1},
      {{0.6f, 0.6f, 0}, 0},   // beyond the hypotenuse
      {{-0.1f, 0.5f, 0}, 0},  // beyond the edge x = 0
      {{0, 0, 0}, 0},
      {{1, 0, 0}, 0},
      {{0.5f, 0, 0}, 1},  // on an edge: the angle sum is exactly 2 pi
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PointInTriangle(c.point, kTriangle, 3), c.inside)
        << c.point.x << ", " << c.point.y;
  }
}

TEST(LinePlanePoint, MeetsThePlaneOrGivesTheStartWhenParallel) {
  const Vec3 down[2] = {{0.2f, 0.3f, 5}, {0.2f, 0.3f, 4}};
  const Vec3 hit = LinePlanePoint({0, 0, 1}, down, -1);  // plane z = 1
  EXPECT_FLOAT_EQ(hit.z, 1);
  EXPECT_FLOAT_EQ(hit.x, 0.2f);
  const Vec3 level[2] = {{0, 0, 2}, {1, 0, 2}};
  const Vec3 start = LinePlanePoint({0, 0, 1}, level, -1);
  EXPECT_FLOAT_EQ(start.x, 0);
  EXPECT_FLOAT_EQ(start.z, 2);
}

TEST(SegmentTriangleCross, OnlyASegmentWithEndsOnBothSidesThroughTheFaceCrosses) {
  const Vec3 through[2] = {{0.2f, 0.2f, 1}, {0.2f, 0.2f, -1}};
  const Vec3 beside[2] = {{2, 2, 1}, {2, 2, -1}};
  const Vec3 short_[2] = {{0.2f, 0.2f, 1}, {0.2f, 0.2f, 0}};
  EXPECT_EQ(SegmentTriangleCross(kTriangle, through, 3), 1);
  EXPECT_EQ(SegmentTriangleCross(kTriangle, beside, 3), 0);
  EXPECT_EQ(SegmentTriangleCross(kTriangle, short_, 3), 0);
}

TEST(SphereTriangleOverlap, PlaneFaceAndEdgeCases) {
  struct Case {
    const char* what;
    Vec3 centre;
    float radius;
    int hit;
  } cases[] = {
      {"over the face", {0.25f, 0.25f, 0.5f}, 0.6f, 1},
      {"on the plane beyond an edge, reaching it", {-0.3f, 0.5f, 0}, 0.4f, 1},
      {"on the plane beyond an edge, short of it", {-0.3f, 0.5f, 0}, 0.25f, 0},
      {"exactly tangent to the plane", {0.25f, 0.25f, 0.5f}, 0.5f, 0},
      {"near a corner from outside", {1.15f, -0.15f, 0.1f}, 0.3f, 1},
      {"exactly at the radius from a corner", {1.2f, -0.2f, 0.1f}, 0.3f, 0},
      {"far away", {5, 5, 0}, 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SphereTriangleOverlap(kTriangle, c.centre, 3, c.radius), c.hit) << c.what;
  }
}

TEST(SphereTouchesPolygonEdges, ADegenerateEdgeCountsAsItsPoint) {
  const Vec3 point[3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
  EXPECT_EQ(SphereTouchesPolygonEdges({1, 1, 1.5f}, point, 3, 0.6f), 1);
  EXPECT_EQ(SphereTouchesPolygonEdges({1, 1, 1.5f}, point, 3, 0.4f), 0);
}

TEST(BoxTriangleOverlap, SeparatingAxes) {
  const Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  struct Case {
    const char* what;
    Vec3 centre;
    Vec3 p0, p1, p2;
    int hit;
  } cases[] = {
      {"triangle inside", {0, 0, 0}, {-0.5f, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}, 1},
      {"triangle touching the face x = 1", {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, 1},
      {"triangle just beyond that face", {0, 0, 0}, {1.01f, 0, 0}, {2, 0, 0}, {2, 1, 0}, 0},
      {"big triangle cutting through", {0, 0, 0}, {-5, -5, 0.5f}, {5, -5, 0.5f}, {0, 5, 0.5f}, 1},
      {"across the edge x = y = 1", {0, 0, 0}, {1.8f, 0, -5}, {1.8f, 0, 5}, {0, 1.8f, 0}, 1},
      {"beyond the edge x = y = 1", {0, 0, 0}, {2.2f, 0, -5}, {2.2f, 0, 5}, {0, 2.2f, 0}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoxTriangleOverlap(c.centre, x, y, z, c.p0, c.p1, c.p2), c.hit) << c.what;
  }
}

TEST(RayTriangleHit, ParameterAlongTheSegmentUnlimitedBothWays) {
  EXPECT_FLOAT_EQ(RayTriangleHit(kTriangle, {0.2f, 0.2f, 1}, {0.2f, 0.2f, -1}), 0.5f);
  EXPECT_FLOAT_EQ(RayTriangleHit(kTriangle, {0.2f, 0.2f, 4}, {0.2f, 0.2f, 2}), 2.0f);
  EXPECT_FLOAT_EQ(RayTriangleHit(kTriangle, {0.2f, 0.2f, -1}, {0.2f, 0.2f, -2}), -1.0f);
  EXPECT_EQ(RayTriangleHit(kTriangle, {0, 0, 1}, {1, 1, 1}), 0.0f);      // parallel
  EXPECT_EQ(RayTriangleHit(kTriangle, {0.8f, 0.8f, 1}, {0.8f, 0.8f, -1}), 0.0f);
  const Vec3 line[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  EXPECT_EQ(RayTriangleHit(line, {0.5f, 0, 1}, {0.5f, 0, -1}), 0.0f);
}

TEST(ConeTriangleOverlap, CornerEdgeFaceAndBehind) {
  const float cos10 = std::cos(10.0f * float(M_PI) / 180.0f);
  const Vec3 down{0, 0, -1};
  struct Case {
    const char* what;
    Vec3 apex;
    Vec3 axis;
    Vec3 triangle[3];
    int hit;
  } cases[] = {
      {"a corner inside", {0, 0, 5}, down, {{0, 0, 0}, {30, 0, 0}, {0, 30, 0}}, 1},
      {"an edge crossing, corners outside",
       {0, 0, 5},
       down,
       {{-10, 0.1f, 0}, {10, 0.1f, 0}, {0, 20, 0}},
       1},
      {"the axis through the face", {0, 0, 5}, down, {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}}, 1},
      {"the triangle behind the apex", {0, 0, -5}, down, {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}}, 0},
      {"beside the cone", {0, 0, 5}, down, {{5, 5, 0}, {6, 5, 0}, {5, 6, 0}}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConeTriangleOverlap(c.axis, c.apex, cos10, c.triangle), c.hit) << c.what;
  }
}

TEST(SphereBoxOverlap, SquaredRadiusAgainstTheExcess) {
  const Vec3 half{1, 2, 3};
  EXPECT_EQ(SphereBoxOverlap({0.5f, -1, 2}, 0, half), 1);  // centre inside, radius 0
  EXPECT_EQ(SphereBoxOverlap({2, 0, 0}, 1, half), 1);      // touching the face
  EXPECT_EQ(SphereBoxOverlap({2, 3, 0}, 1.5f, half), 0);   // corner distance squared is 2
  EXPECT_EQ(SphereBoxOverlap({2, 3, 0}, 2, half), 1);
}

}  // namespace
