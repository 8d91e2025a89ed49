// Matrix products, the fixed-pipeline matrices and the two inverses.
#include "gfx3d/matrix_maths.h"

#include <cmath>
#include <utility>

Mat4 IdentityMatrix() {
  Mat4 a;
  a.m[0] = a.m[5] = a.m[10] = a.m[15] = 1.0f;
  return a;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 c;
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, col);
      c.at(row, col) = sum;
    }
  }
  return c;
}

Vec4 operator*(const Mat4& a, Vec4 v) {
  const float in[4] = {v.x, v.y, v.z, v.w};
  float out[4];
  for (int row = 0; row < 4; ++row) {
    out[row] = a.at(row, 0) * in[0] + a.at(row, 1) * in[1] + a.at(row, 2) * in[2] +
               a.at(row, 3) * in[3];
  }
  return {out[0], out[1], out[2], out[3]};
}

Vec3 TransformPoint(const Mat4& a, Vec3 p) {
  Vec4 q = a * Vec4{p.x, p.y, p.z, 1.0f};
  return {q.x, q.y, q.z};
}

float ColumnLength(const Mat4& a, int column) {
  return Length({a.at(0, column), a.at(1, column), a.at(2, column)});
}

Mat4 TranslationMatrix(Vec3 t) {
  Mat4 a = IdentityMatrix();
  a.m[12] = t.x;
  a.m[13] = t.y;
  a.m[14] = t.z;
  return a;
}

Mat4 ScaleMatrix(Vec3 s) {
  Mat4 a = IdentityMatrix();
  a.m[0] = s.x;
  a.m[5] = s.y;
  a.m[10] = s.z;
  return a;
}

Mat4 AxisAngleMatrix(float degrees, Vec3 axis) {
  const float radians = degrees * kDegreesToRadians;
  const float c = std::cos(radians), s = std::sin(radians), k = 1.0f - c;
  const float x = axis.x, y = axis.y, z = axis.z;
  Mat4 a = IdentityMatrix();
  a.at(0, 0) = x * x * k + c;
  a.at(0, 1) = x * y * k - z * s;
  a.at(0, 2) = x * z * k + y * s;
  a.at(1, 0) = y * x * k + z * s;
  a.at(1, 1) = y * y * k + c;
  a.at(1, 2) = y * z * k - x * s;
  a.at(2, 0) = x * z * k - y * s;
  a.at(2, 1) = y * z * k + x * s;
  a.at(2, 2) = z * z * k + c;
  return a;
}

namespace {

// Turn about one coordinate axis (0 = x, 1 = y, 2 = z), exact in its fixed entries.
Mat4 CoordinateAxisRotation(float degrees, int axis) {
  const float radians = degrees * kDegreesToRadians;
  const float c = std::cos(radians), s = std::sin(radians);
  const int i = (axis + 1) % 3, j = (axis + 2) % 3;
  Mat4 a = IdentityMatrix();
  a.at(i, i) = c;
  a.at(i, j) = -s;
  a.at(j, i) = s;
  a.at(j, j) = c;
  return a;
}

}  // namespace

bool EntityRotationMatrix(float degrees, Vec3 axis, Mat4* out) {
  const float v[3] = {axis.x, axis.y, axis.z};
  for (int k = 0; k < 3; ++k) {
    if (v[k] != 0.0f && v[(k + 1) % 3] == 0.0f && v[(k + 2) % 3] == 0.0f) {
      *out = CoordinateAxisRotation(v[k] < 0.0f ? -degrees : degrees, k);
      return true;
    }
  }
  const float length = Length(axis);
  if (!(length > 0.0001f)) return false;
  *out = AxisAngleMatrix(degrees, axis * (1.0f / length));
  return true;
}

Mat4 FrustumMatrix(float l, float r, float b, float t, float n, float f) {
  Mat4 a;
  a.at(0, 0) = 2.0f * n / (r - l);
  a.at(0, 2) = (r + l) / (r - l);
  a.at(1, 1) = 2.0f * n / (t - b);
  a.at(1, 2) = (t + b) / (t - b);
  a.at(2, 2) = -(f + n) / (f - n);
  a.at(2, 3) = -2.0f * f * n / (f - n);
  a.at(3, 2) = -1.0f;
  return a;
}

Mat4 OrthoMatrix(float l, float r, float b, float t, float n, float f) {
  Mat4 a = IdentityMatrix();
  a.at(0, 0) = 2.0f / (r - l);
  a.at(1, 1) = 2.0f / (t - b);
  a.at(2, 2) = -2.0f / (f - n);
  a.at(0, 3) = -(r + l) / (r - l);
  a.at(1, 3) = -(t + b) / (t - b);
  a.at(2, 3) = -(f + n) / (f - n);
  return a;
}

namespace {

Vec3 NormaliseUnlessZero(Vec3 v) {
  const float length = Length(v);
  return length == 0.0f ? v : v * (1.0f / length);
}

}  // namespace

Mat4 LookAt(Vec3 eye, Vec3 target, Vec3 up) {
  const Vec3 z = NormaliseUnlessZero(eye - target);
  const Vec3 x = NormaliseUnlessZero(Cross(up, z));
  const Vec3 y = NormaliseUnlessZero(Cross(z, x));
  Mat4 a = IdentityMatrix();
  const Vec3 rows[3] = {x, y, z};
  for (int r = 0; r < 3; ++r) {
    a.at(r, 0) = rows[r].x;
    a.at(r, 1) = rows[r].y;
    a.at(r, 2) = rows[r].z;
    a.at(r, 3) = -Dot(rows[r], eye);
  }
  return a;
}

bool GaussJordanInverse(const Mat4& a, Mat4* inverse) {
  float left[4][4], right[4][4];
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      left[r][c] = a.at(r, c);
      right[r][c] = r == c ? 1.0f : 0.0f;
    }
  }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r) {
      if (std::fabs(left[r][col]) > std::fabs(left[pivot][col])) pivot = r;
    }
    if (left[pivot][col] == 0.0f) return false;
    std::swap(left[pivot], left[col]);
    std::swap(right[pivot], right[col]);
    const float scale = 1.0f / left[col][col];
    for (int c = 0; c < 4; ++c) {
      left[col][c] *= scale;
      right[col][c] *= scale;
    }
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const float factor = left[r][col];
      for (int c = 0; c < 4; ++c) {
        left[r][c] -= factor * left[col][c];
        right[r][c] -= factor * right[col][c];
      }
    }
  }
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) inverse->at(r, c) = right[r][c];
  }
  return true;
}

namespace {

// The determinant of the 3 x 3 matrix left when row `skipRow` and column `skipColumn` go.
float Minor(const Mat4& a, int skipRow, int skipColumn) {
  int rows[3], columns[3];
  for (int i = 0, r = 0, c = 0; i < 4; ++i) {
    if (i != skipRow) rows[r++] = i;
    if (i != skipColumn) columns[c++] = i;
  }
  auto e = [&](int r, int c) { return a.at(rows[r], columns[c]); };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
         e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

float Cofactor(const Mat4& a, int row, int column) {
  const float minor = Minor(a, row, column);
  return (row + column) % 2 == 0 ? minor : -minor;
}

}  // namespace

bool CofactorInverse(const Mat4& a, Mat4* inverse) {
  float determinant = 0.0f;
  for (int c = 0; c < 4; ++c) determinant += a.at(0, c) * Cofactor(a, 0, c);
  if (determinant == 0.0f) return false;
  const float scale = 1.0f / determinant;
  Mat4 result;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) result.at(c, r) = Cofactor(a, r, c) * scale;
  }
  *inverse = result;
  return true;
}
