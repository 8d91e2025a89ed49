// The transform stack and the build of the entity matrix.
#include "gfx3d/transforms.h"

#include <GL/gl.h>

#include "core/dim_array.h"
#include "gfx3d/scene.h"

namespace {

TransformRecord& Current(Rainbows3D& scene) {
  return scene.transforms[scene.transformIndex];
}

void StartTransform(Rainbows3D& scene) {
  TransformRecord& record = Current(scene);
  const int32_t below = scene.transformIndex - 1;
  record.matrix = below >= 0 ? scene.transforms[below].matrix : IdentityMatrix();
  record.valid = 0;
  record.rotationCount = 0;
  record.matrixCount = 0;
}

void ClearRecord(TransformRecord& record, const Mat4& start) {
  record.matrixCount = 0;
  record.rotationCount = 0;
  record.scale = {1, 1, 1};
  record.translation = {};
  record.matrix = start;
  record.valid = 1;
}

bool IsVector16(const DimArray& a) {
  return a.dims == 1 && a.size0 == 16 && a.data != nullptr;
}

void CopyOut(const Mat4& matrix, DimArray& out) {
  if (out.dims != 1 || out.size0 != 16) ArrayDimNumber(out, 16, 0, 0, 0);
  for (int32_t i = 0; i < 16; ++i) *ArrayNumberAt(out, i) = matrix.m[i];
}

}  // namespace

void SetMovement(Rainbows3D& scene, float x, float y, float z) {
  StartTransform(scene);
  Current(scene).translation = {x, y, z};
}

void SetScaling(Rainbows3D& scene, float x, float y, float z) {
  StartTransform(scene);
  Current(scene).scale = {x, y, z};
}

void AddRotation(Rainbows3D& scene, float angle, float x, float y, float z) {
  TransformRecord& record = Current(scene);
  record.valid = 0;
  if (record.rotationCount >= kQueuedRotations) return;
  record.rotations[record.rotationCount++] = {angle, {x, y, z}};
}

void AddTransformMatrix(Rainbows3D& scene, const DimArray& values) {
  if (!IsVector16(values)) return;
  TransformRecord& record = Current(scene);
  record.valid = 0;
  if (record.matrixCount >= kQueuedMatrices) return;
  const double* source = static_cast<const double*>(values.data);
  Mat4& queued = record.matrices[record.matrixCount++];
  for (int32_t i = 0; i < 16; ++i) queued.m[i] = float(source[i]);
}

void PushTransform(Rainbows3D& scene) {
  if (scene.transformIndex >= kTransformRecords - 1) return;
  const Mat4 built = EntityMatrix(scene);
  ++scene.transformIndex;
  ClearRecord(Current(scene), built);
}

void PopTransform(Rainbows3D& scene) {
  if (scene.transformIndex > 0) {
    --scene.transformIndex;
    return;
  }
  ClearRecord(scene.transforms[0], IdentityMatrix());
}

void ResetTransformStack(Rainbows3D& scene) {
  scene.transformIndex = 0;
  ClearRecord(scene.transforms[0], IdentityMatrix());
}

void BuildEntityMatrix(Rainbows3D& scene) {
  TransformRecord& record = Current(scene);
  if (record.valid == 1) return;
  Mat4 m = record.matrix;
  for (int32_t i = 0; i < record.matrixCount; ++i) m = m * record.matrices[i];
  const Vec3 t = record.translation;
  if (t.x != 0.0f || t.y != 0.0f || t.z != 0.0f) m = m * TranslationMatrix(t);
  for (int32_t i = record.rotationCount - 1; i >= 0; --i) {
    Mat4 rotation;
    if (EntityRotationMatrix(record.rotations[i].angle, record.rotations[i].axis, &rotation)) {
      m = m * rotation;
    }
  }
  const Vec3 s = record.scale;
  if (s.x != 1.0f || s.y != 1.0f || s.z != 1.0f) m = m * ScaleMatrix(s);
  record.matrix = m;
  record.valid = 1;
}

const Mat4& EntityMatrix(Rainbows3D& scene) {
  BuildEntityMatrix(scene);
  return Current(scene).matrix;
}

void MultEntityMatrix(Rainbows3D& scene) {
  glMultMatrixf(EntityMatrix(scene).m);
}

void GetEntityMatrix(Rainbows3D& scene, DimArray& out) {
  CopyOut(EntityMatrix(scene), out);
}

void GetCameraMatrix(Rainbows3D& scene, DimArray& out) {
  CopyOut(scene.camera, out);
}
