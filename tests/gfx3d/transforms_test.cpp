#include "gfx3d/transforms.h"

#include <gtest/gtest.h>

#include "core/dim_array.h"
#include "gfx3d/scene.h"
#include "tests/support/program_end.h"

namespace {

void ExpectPointNear(Vec3 actual, Vec3 expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-6);
  EXPECT_NEAR(actual.y, expected.y, 1e-6);
  EXPECT_NEAR(actual.z, expected.z, 1e-6);
}

Vec3 Apply(Rainbows3D& scene, Vec3 p) {
  return TransformPoint(EntityMatrix(scene), p);
}

Vec3 Translation(Rainbows3D& scene) {
  const Mat4& m = EntityMatrix(scene);
  return {m.m[12], m.m[13], m.m[14]};
}

struct NumberArray {
  DimArray a{};
  ~NumberArray() { ArrayRelease(a); }
};

TEST(EntityMatrix, ToolViewerTransform) {
  Rainbows3D scene(nullptr);
  const float g = 12.5f;
  SetMovement(scene, 0, 8, -g);
  AddRotation(scene, 90, 0, 1, 0);
  AddRotation(scene, 180, 0, 0, 1);
  ExpectPointNear(Apply(scene, {1, 0, 0}), {0, 8, -1 - g});
  ExpectPointNear(Apply(scene, {0, 1, 0}), {0, 7, -g});
}

TEST(EntityMatrix, ScaleComesFirstThenRotationsInQueueOrderThenTranslation) {
  Rainbows3D scene(nullptr);
  SetScaling(scene, 2, 1, 1);
  SetMovement(scene, 10, 0, 0);
  AddRotation(scene, 90, 0, 0, 1);  // x to y
  AddRotation(scene, 90, 1, 0, 0);  // then y to z
  ExpectPointNear(Apply(scene, {1, 0, 0}), {10, 0, 2});
}

TEST(EntityMatrix, MovementAndScalingKeepEachOtherButDropRotations) {
  Rainbows3D scene(nullptr);
  SetMovement(scene, 1, 2, 3);
  AddRotation(scene, 90, 0, 0, 1);
  SetScaling(scene, 2, 2, 2);
  ExpectPointNear(Apply(scene, {1, 0, 0}), {3, 2, 3});
  SetMovement(scene, 0, 0, 1);
  ExpectPointNear(Apply(scene, {1, 0, 0}), {2, 0, 1});
}

TEST(EntityMatrix, SeventeenthRotationOnlyClearsValid) {
  Rainbows3D scene(nullptr);
  for (int i = 0; i < 16; ++i) AddRotation(scene, 10, 0, 1, 0);
  const Mat4 sixteen = EntityMatrix(scene);
  EXPECT_EQ(scene.transforms[0].valid, 1);
  AddRotation(scene, 90, 1, 0, 0);
  EXPECT_EQ(scene.transforms[0].valid, 0);
  EXPECT_EQ(scene.transforms[0].rotationCount, 16);
  // Rebuilt on top of itself: sixteen more turns of 10 degrees, none about x.
  const Mat4 again = EntityMatrix(scene);
  const Mat4 twice = sixteen * sixteen;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(again.m[i], twice.m[i], 1e-5);
}

TEST(EntityMatrix, RebuildAfterAClearedValidAppliesTheTransformAgain) {
  Rainbows3D scene(nullptr);
  SetMovement(scene, 1, 0, 0);
  BuildEntityMatrix(scene);
  AddRotation(scene, 0, 0, 0, 0);
  ExpectPointNear(Translation(scene), {2, 0, 0});
}

TEST(EntityMatrix, QueuedMatricesApplyAfterTheTranslation) {
  Rainbows3D scene(nullptr);
  NumberArray values;
  ArrayDimNumber(values.a, 16, 0, 0, 0);
  const Mat4 doubling = ScaleMatrix({2, 2, 2});
  for (int i = 0; i < 16; ++i) *ArrayNumberAt(values.a, i) = doubling.m[i];
  SetMovement(scene, 1, 0, 0);
  AddTransformMatrix(scene, values.a);
  ExpectPointNear(Apply(scene, {1, 0, 0}), {4, 0, 0});
}

TEST(EntityMatrix, OnlyAOneDimensionalArrayOfSixteenIsQueued) {
  Rainbows3D scene(nullptr);
  NumberArray wrong;
  ArrayDimNumber(wrong.a, 4, 4, 0, 0);
  AddTransformMatrix(scene, wrong.a);
  ArrayDimNumber(wrong.a, 15, 0, 0, 0);
  AddTransformMatrix(scene, wrong.a);
  EXPECT_EQ(scene.transforms[0].matrixCount, 0);
  EXPECT_EQ(scene.transforms[0].valid, 1);
}

TEST(TransformStack, PushStartsFromTheBuiltMatrix) {
  Rainbows3D scene(nullptr);
  SetMovement(scene, 1, 0, 0);
  PushTransform(scene);
  SetMovement(scene, 0, 2, 0);
  ExpectPointNear(Translation(scene), {1, 2, 0});
  PopTransform(scene);
  ExpectPointNear(Translation(scene), {1, 0, 0});
}

TEST(TransformStack, PushStopsAtTheLastRecordAndPopAtZeroResets) {
  Rainbows3D scene(nullptr);
  for (int i = 0; i < 20; ++i) PushTransform(scene);
  EXPECT_EQ(scene.transformIndex, 15);
  for (int i = 0; i < 15; ++i) PopTransform(scene);
  EXPECT_EQ(scene.transformIndex, 0);
  SetMovement(scene, 5, 5, 5);
  AddRotation(scene, 30, 0, 1, 0);
  PopTransform(scene);
  EXPECT_EQ(scene.transformIndex, 0);
  ExpectPointNear(Apply(scene, {1, 2, 3}), {1, 2, 3});
  EXPECT_EQ(scene.transforms[0].rotationCount, 0);
}

TEST(MatrixArrays, EntityAndCameraMatricesComeOutAsSixteenNumbers) {
  Rainbows3D scene(nullptr);
  scene.camera = TranslationMatrix({0, -8, -24});
  SetMovement(scene, 3, 4, 5);
  NumberArray out;
  ArrayDimNumber(out.a, 2, 3, 0, 0);
  GetEntityMatrix(scene, out.a);
  EXPECT_EQ(out.a.dims, 1);
  EXPECT_EQ(out.a.size0, 16);
  EXPECT_EQ(*ArrayNumberAt(out.a, 13), 4.0);
  GetCameraMatrix(scene, out.a);
  EXPECT_EQ(*ArrayNumberAt(out.a, 14), -24.0);
}

TEST(MatrixArrays, ASixteenElementArrayWithoutDataEndsTheProgram) {
  Rainbows3D scene(nullptr);
  DimArray hollow{};
  hollow.dims = 1;
  hollow.size0 = hollow.stride1 = 16;
  EXPECT_EQ(EndStatusOf([&] { GetEntityMatrix(scene, hollow); }), 1);
}

}  // namespace
