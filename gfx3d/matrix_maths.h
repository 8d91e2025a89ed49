// The 4 x 4 single-precision matrices of the 3D code, in OpenGL's column-major order (row r,
// column c at index 4c + r), and the matrices OpenGL's fixed pipeline would build: rotation,
// frustum, ortho and look-at. Angles are degrees. Nothing here calls OpenGL.
#pragma once

#include "gfx3d/vector_maths.h"

struct Vec4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Mat4 {
  float m[16] = {};
  float& at(int row, int column) { return m[4 * column + row]; }
  float at(int row, int column) const { return m[4 * column + row]; }
};

// Degrees to radians with the runtime's own f32 factor.
inline constexpr float kDegreesToRadians = 0.017453292f;

Mat4 IdentityMatrix();
Mat4 operator*(const Mat4& a, const Mat4& b);
Vec4 operator*(const Mat4& a, Vec4 v);
// The point (w = 1) through the matrix, without the perspective divide.
Vec3 TransformPoint(const Mat4& a, Vec3 p);
// The length of column c's first three entries: the scale the matrix gives along that axis.
float ColumnLength(const Mat4& a, int column);

Mat4 TranslationMatrix(Vec3 t);
Mat4 ScaleMatrix(Vec3 s);
// OpenGL's glRotate matrix; the axis must already have unit length.
Mat4 AxisAngleMatrix(float degrees, Vec3 unitAxis);
// The entity rotation: an axis along x, y or z alone turns about that axis, its sign choosing the
// direction; any other axis is normalised. False (no rotation) for an axis of length 0.0001 or
// less.
bool EntityRotationMatrix(float degrees, Vec3 axis, Mat4* out);

// OpenGL's glFrustum and glOrtho matrices.
Mat4 FrustumMatrix(float l, float r, float b, float t, float n, float f);
Mat4 OrthoMatrix(float l, float r, float b, float t, float n, float f);
// The camera looking from eye at target; a vector of length 0 stays unnormalised.
Mat4 LookAt(Vec3 eye, Vec3 target, Vec3 up);

// Gauss-Jordan elimination with the largest pivot of each column; false for a singular matrix.
bool GaussJordanInverse(const Mat4& a, Mat4* inverse);
// The adjugate over the determinant; false when the determinant is 0.
bool CofactorInverse(const Mat4& a, Mat4* inverse);
