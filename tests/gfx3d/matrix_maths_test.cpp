#include "gfx3d/matrix_maths.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void ExpectMatrixNear(const Mat4& a, const Mat4& b, float tolerance) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

Mat4 RandomMatrix(std::mt19937& random) {
  std::uniform_real_distribution<float> value(-4.0f, 4.0f);
  Mat4 a;
  for (float& v : a.m) v = value(random);
  return a;
}

TEST(MatrixInverse, BothInversesUndoRandomMatrices) {
  std::mt19937 random(7);
  for (int n = 0; n < 200; ++n) {
    const Mat4 a = RandomMatrix(random);
    Mat4 gauss, cofactor;
    ASSERT_TRUE(GaussJordanInverse(a, &gauss));
    ASSERT_TRUE(CofactorInverse(a, &cofactor));
    // Random matrices can be badly conditioned; compare products, not entries.
    const Mat4 left = a * gauss;
    const Mat4 right = cofactor * a;
    for (int i = 0; i < 16; ++i) {
      const float expected = i % 5 == 0 ? 1.0f : 0.0f;
      EXPECT_NEAR(left.m[i], expected, 2e-3f) << "case " << n;
      EXPECT_NEAR(right.m[i], expected, 2e-3f) << "case " << n;
    }
  }
}

TEST(MatrixInverse, SingularMatricesAreRefused) {
  Mat4 out;
  Mat4 flat = IdentityMatrix();
  flat.m[10] = 0.0f;
  EXPECT_FALSE(GaussJordanInverse(flat, &out));
  EXPECT_FALSE(CofactorInverse(flat, &out));
  Mat4 twoEqualRows = IdentityMatrix();
  twoEqualRows.at(1, 0) = 1.0f;
  twoEqualRows.at(1, 1) = 0.0f;
  EXPECT_FALSE(GaussJordanInverse(twoEqualRows, &out));
  EXPECT_FALSE(CofactorInverse(twoEqualRows, &out));
}

TEST(MatrixInverse, NeedsRowExchangesForAZeroFirstPivot) {
  Mat4 swapXY;
  swapXY.at(0, 1) = swapXY.at(1, 0) = 1.0f;
  swapXY.at(2, 2) = swapXY.at(3, 3) = 1.0f;
  Mat4 inverse;
  ASSERT_TRUE(GaussJordanInverse(swapXY, &inverse));
  ExpectMatrixNear(inverse, swapXY, 0.0f);
}

TEST(FixedPipelineMatrices, OrthoMapsTheBoxOntoTheUnitCube) {
  const Mat4 o = OrthoMatrix(-4, 2, -1, 3, 1, 11);
  for (float sign : {-1.0f, 1.0f}) {
    const Vec3 corner = TransformPoint(o, sign < 0 ? Vec3{-4, -1, -1} : Vec3{2, 3, -11});
    EXPECT_FLOAT_EQ(corner.x, sign);
    EXPECT_FLOAT_EQ(corner.y, sign);
    EXPECT_FLOAT_EQ(corner.z, sign);
  }
}

TEST(FixedPipelineMatrices, LookAtPutsTheTargetOnTheNegativeZAxis) {
  const Vec3 eye{3, -2, 5}, target{-1, 4, 2};
  const Vec3 seen = TransformPoint(LookAt(eye, target, {0, 1, 0}), target);
  EXPECT_NEAR(seen.x, 0, 1e-5);
  EXPECT_NEAR(seen.y, 0, 1e-5);
  EXPECT_NEAR(seen.z, -Length(target - eye), 1e-5);
}

TEST(EntityRotation, AxisRules) {
  Mat4 unit, longer, reversed, general, none;
  ASSERT_TRUE(EntityRotationMatrix(30, {1, 0, 0}, &unit));
  ASSERT_TRUE(EntityRotationMatrix(30, {2, 0, 0}, &longer));
  ASSERT_TRUE(EntityRotationMatrix(30, {-1, 0, 0}, &reversed));
  ExpectMatrixNear(unit, longer, 0.0f);
  const Vec3 turned = TransformPoint(unit, {0, 1, 0});
  const Vec3 back = TransformPoint(reversed, {0, 1, 0});
  EXPECT_NEAR(turned.z, 0.5f, 1e-6);
  EXPECT_NEAR(back.z, -0.5f, 1e-6);
  EXPECT_FALSE(EntityRotationMatrix(30, {0, 0, 0}, &none));
  EXPECT_FALSE(EntityRotationMatrix(30, {0.00005f, 0.00005f, 0}, &none));
  // A general axis is normalised and matches the rotation about the same unit axis.
  ASSERT_TRUE(EntityRotationMatrix(40, {0, 3, 4}, &general));
  ExpectMatrixNear(general, AxisAngleMatrix(40, {0, 0.6f, 0.8f}), 1e-6f);
}

}  // namespace
