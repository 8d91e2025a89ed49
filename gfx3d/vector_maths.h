// The single-precision vector maths shared by the mesh, model, collision and transform code.
// Everything stays in f32 and the folder is built without contracted multiply-adds, so results
// are the same on every machine.
#pragma once

#include <cmath>

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a) {
  return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3& operator+=(Vec3& a, Vec3 b) {
  return a = a + b;
}

inline float Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float Length(Vec3 v) {
  return std::sqrt(Dot(v, v));
}

// Below this squared length a vector counts as having no direction.
inline constexpr double kMinSquaredLength = 1e-7;

// The mesh, model and collision rule: a vector too short to have a direction stays as it is,
// so a degenerate normal keeps its (near) zero value instead of blowing up.
Vec3 NormaliseOrKeep(Vec3 v);

// The light and debug-drawing rule: a vector too short to have a direction becomes zero.
Vec3 NormaliseOrZero(Vec3 v);
