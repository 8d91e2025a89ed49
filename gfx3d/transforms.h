// The entity transform: per-object movement, rotations, scaling and queued matrices gathered in
// a stack of 16 records and built into one entity matrix on demand.
#pragma once

#include <cstdint>

#include "gfx3d/matrix_maths.h"

struct DimArray;
class Rainbows3D;

inline constexpr int32_t kTransformRecords = 16;
inline constexpr int32_t kQueuedRotations = 16;
inline constexpr int32_t kQueuedMatrices = 16;

struct QueuedRotation {
  float angle = 0;  // degrees
  Vec3 axis;
};

struct TransformRecord {
  int32_t matrixCount = 0;
  int32_t rotationCount = 0;
  QueuedRotation rotations[kQueuedRotations];
  Vec3 scale{1, 1, 1};
  Vec3 translation;
  Mat4 matrices[kQueuedMatrices];
  Mat4 matrix = IdentityMatrix();  // the starting matrix; the entity matrix once valid
  int32_t valid = 1;
};

// Each starts a new transform on the current record from the record below's matrix; SetMovement
// keeps the scale, SetScaling keeps the translation; both drop the queued rotations and matrices.
void SetMovement(Rainbows3D& scene, float x, float y, float z);
void SetScaling(Rainbows3D& scene, float x, float y, float z);
// A 17th rotation only clears valid.
void AddRotation(Rainbows3D& scene, float angle, float x, float y, float z);
// Only a one-dimensional number array of exactly 16 elements (column-major) is queued.
void AddTransformMatrix(Rainbows3D& scene, const DimArray& values);
void PushTransform(Rainbows3D& scene);
void PopTransform(Rainbows3D& scene);
// Record 0 holds the identity again and is current.
void ResetTransformStack(Rainbows3D& scene);

// A rebuild starts from the record's current matrix, so queuing more after a build applies the
// whole transform again on top of the built one.
void BuildEntityMatrix(Rainbows3D& scene);
const Mat4& EntityMatrix(Rainbows3D& scene);
// glMultMatrixf of the built entity matrix.
void MultEntityMatrix(Rainbows3D& scene);
// The 16 values into a number array made one-dimensional with 16 elements when it is not.
void GetEntityMatrix(Rainbows3D& scene, DimArray& out);
void GetCameraMatrix(Rainbows3D& scene, DimArray& out);
