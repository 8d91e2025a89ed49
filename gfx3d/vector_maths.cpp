// Normalising by the two rules of the 3D code.
#include "gfx3d/vector_maths.h"

#include <cmath>

namespace {

Vec3 DivideByLength(Vec3 v, float squaredLength) {
  float length = std::sqrt(squaredLength);
  return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

Vec3 NormaliseOrKeep(Vec3 v) {
  float squared = Dot(v, v);
  return squared > kMinSquaredLength ? DivideByLength(v, squared) : v;
}

Vec3 NormaliseOrZero(Vec3 v) {
  float squared = Dot(v, v);
  return squared > kMinSquaredLength ? DivideByLength(v, squared) : Vec3{};
}
