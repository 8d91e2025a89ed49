#include "gfx3d/screen_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const int32_t kViewport[4] = {0, 0, 640, 480};

Mat4 DefaultProjection() {
  const float h = std::tan(45.0f * float(M_PI) / 360.0f);
  const float aspect = 640.0f / 480.0f;
  return FrustumMatrix(-aspect * h, aspect * h, -h, h, 1, 1024);
}

TEST(ProjectPoint, GoldenPointsOfTheDefaultScene) {
  const Mat4 projection = DefaultProjection();
  const Mat4 camera = IdentityMatrix();
  Vec3 w;
  ASSERT_EQ(ProjectPoint({0, 0, -2}, &w, kViewport, projection, camera), 1);
  EXPECT_NEAR(w.x, 320, 1e-3);
  EXPECT_NEAR(w.y, 240, 1e-3);
  EXPECT_NEAR(w.z, 0.500489, 1e-5);
  ASSERT_EQ(ProjectPoint({0, 0.5f, -2}, &w, kViewport, projection, camera), 1);
  EXPECT_NEAR(w.y, 95.147, 1e-3);  // rows from the top: above the middle is a smaller row
  ASSERT_EQ(ProjectPoint({1, 0, -2}, &w, kViewport, projection, camera), 1);
  EXPECT_NEAR(w.x, 609.706, 1e-3);
}

TEST(ProjectPoint, APointInTheCameraPlaneFails) {
  Vec3 w;
  EXPECT_EQ(ProjectPoint({1, 1, 0}, &w, kViewport, DefaultProjection(), IdentityMatrix()), 0);
}

TEST(UnprojectPoint, GivesThePointBackWithTheRowTurnedRound) {
  std::mt19937 random(3);
  std::uniform_real_distribution<float> across(-20, 20), depth(-500, -2);
  const Mat4 projection = DefaultProjection();
  const Mat4 camera = LookAt({1, 2, 3}, {0, 0, -10}, {0, 1, 0});
  for (int n = 0; n < 100; ++n) {
    const Vec3 p{across(random), across(random), depth(random)};
    Vec3 w, back;
    ASSERT_EQ(ProjectPoint(p, &w, kViewport, projection, camera), 1);
    ASSERT_EQ(UnprojectPoint({w.x, 480 - w.y, w.z}, &back, kViewport, projection, camera), 1);
    const float tolerance = 2e-3f * Length(p);
    EXPECT_NEAR(back.x, p.x, tolerance);
    EXPECT_NEAR(back.y, p.y, tolerance);
    EXPECT_NEAR(back.z, p.z, tolerance);
  }
}

TEST(UnprojectPoint, ASingularMatrixFails) {
  Mat4 flat = IdentityMatrix();
  flat.m[5] = 0.0f;
  Vec3 out{7, 7, 7};
  EXPECT_EQ(UnprojectPoint({320, 240, 0.5f}, &out, kViewport, flat, IdentityMatrix()), 0);
  EXPECT_EQ(out.x, 7.0f);
}

}  // namespace
