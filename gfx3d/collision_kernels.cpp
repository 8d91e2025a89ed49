// The per-triangle collision kernels. Cheap rejections come first in each, since the queries run
// them once per triangle of a frame.
#include "gfx3d/collision_kernels.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMinLengthProduct = 1e-8f;
constexpr float kMinEdgeLength = 1e-8f;
constexpr float kInsideAngleSum = 6.2203536f;  // 0.99 x 2 pi

float LengthOrZero(Vec3 v) {
  const float squared = Dot(v, v);
  return squared > float(kMinSquaredLength) ? std::sqrt(squared) : 0.0f;
}

Vec3 PlaneNormal(const Vec3* polygon) {
  return NormaliseOrKeep(Cross(polygon[2] - polygon[0], polygon[1] - polygon[0]));
}

}  // namespace

Vec3 LinePlanePoint(Vec3 normal, const Vec3 segment[2], float d) {
  const Vec3 direction = NormaliseOrKeep(segment[1] - segment[0]);
  const float denominator = Dot(normal, direction);
  if (denominator == 0.0f) return segment[0];
  const float t = -(Dot(normal, segment[0]) + d) / denominator;
  return segment[0] + direction * t;
}

int PointInTriangle(Vec3 point, const Vec3* polygon, int n) {
  float angleSum = 0.0f;
  for (int i = 0; i < n; ++i) {
    const Vec3 a = polygon[i] - point;
    const Vec3 b = polygon[(i + 1) % n] - point;
    const float lengths = LengthOrZero(a) * LengthOrZero(b);
    if (lengths <= kMinLengthProduct) continue;
    // Rounding can push the cosine just past 1, where acos gives NaN.
    angleSum += std::acos(std::clamp(Dot(a, b) / lengths, -1.0f, 1.0f));
  }
  return angleSum >= kInsideAngleSum ? 1 : 0;
}

int SegmentTriangleCross(const Vec3* polygon, const Vec3 segment[2], int n) {
  const Vec3 normal = PlaneNormal(polygon);
  const float d = -Dot(normal, polygon[0]);
  const float s0 = Dot(normal, segment[0]) + d;
  const float s1 = Dot(normal, segment[1]) + d;
  if (s0 * s1 >= 0.0f) return 0;
  return PointInTriangle(LinePlanePoint(normal, segment, d), polygon, n);
}

SphereSide SphereSideOfPlane(Vec3 centre, Vec3 normal, Vec3 pointOnPlane, float radius,
                             float* distance) {
  *distance = Dot(normal, centre) - Dot(normal, pointOnPlane);
  if (std::fabs(*distance) < radius) return kSphereCrossing;
  return *distance > radius ? kSphereInFront : kSphereBehind;
}

int SphereTouchesPolygonEdges(Vec3 centre, const Vec3* polygon, int n, float radius) {
  for (int i = 0; i < n; ++i) {
    const Vec3 from = polygon[i], to = polygon[(i + 1) % n];
    const float length = Length(to - from);
    Vec3 closest = from;
    if (length >= kMinEdgeLength) {
      const Vec3 direction = (to - from) * (1.0f / length);
      const float t = Dot(direction, centre - from);
      closest = t <= 0.0f ? from : t >= length ? to : from + direction * t;
    }
    if (Length(centre - closest) < radius) return 1;
  }
  return 0;
}

int SphereTriangleOverlap(const Vec3* polygon, Vec3 centre, int n, float radius) {
  const Vec3 normal = PlaneNormal(polygon);
  const float distance = Dot(normal, centre) - Dot(normal, polygon[0]);
  if (!(std::fabs(distance) < radius)) return 0;
  if (PointInTriangle(centre - normal * distance, polygon, n)) return 1;
  return SphereTouchesPolygonEdges(centre, polygon, n, radius);
}

namespace {

bool AxisSeparates(Vec3 axis, Vec3 centre, const Vec3 half[3], const Vec3 corners[3]) {
  const float reach = std::fabs(Dot(axis, half[0])) + std::fabs(Dot(axis, half[1])) +
                      std::fabs(Dot(axis, half[2]));
  const float middle = Dot(axis, centre);
  const float d0 = Dot(axis, corners[0]), d1 = Dot(axis, corners[1]), d2 = Dot(axis, corners[2]);
  const float low = std::min({d0, d1, d2}), high = std::max({d0, d1, d2});
  return high < middle - reach || low > middle + reach;
}

}  // namespace

int BoxTriangleOverlap(Vec3 centre, Vec3 h1, Vec3 h2, Vec3 h3, Vec3 p0, Vec3 p1, Vec3 p2) {
  const Vec3 half[3] = {h1, h2, h3};
  const Vec3 corners[3] = {p0, p1, p2};
  const Vec3 edges[3] = {p1 - p0, p2 - p1, p0 - p2};
  for (const Vec3& axis : half) {
    if (AxisSeparates(axis, centre, half, corners)) return 0;
  }
  if (AxisSeparates(Cross(edges[0], p2 - p0), centre, half, corners)) return 0;
  for (const Vec3& h : half) {
    for (const Vec3& edge : edges) {
      if (AxisSeparates(Cross(h, edge), centre, half, corners)) return 0;
    }
  }
  return 1;
}

float RayTriangleHit(const Vec3 triangle[3], Vec3 start, Vec3 end) {
  const Vec3 u = triangle[1] - triangle[0], v = triangle[2] - triangle[0];
  const Vec3 normal = Cross(u, v);
  if (normal.x == 0.0f && normal.y == 0.0f && normal.z == 0.0f) return 0.0f;
  const Vec3 direction = end - start;
  const float a = -Dot(normal, start - triangle[0]);
  const float b = Dot(normal, direction);
  if (b == 0.0f) return 0.0f;
  const float r = a / b;
  const Vec3 w = start + direction * r - triangle[0];
  const float uu = Dot(u, u), uv = Dot(u, v), vv = Dot(v, v);
  const float wu = Dot(w, u), wv = Dot(w, v);
  const float d = uv * uv - uu * vv;
  const float s = (uv * wv - vv * wu) / d;
  const float t = (uv * wu - uu * wv) / d;
  if (s < 0.0f || s > 1.0f || t < 0.0f || s + t > 1.0f) return 0.0f;
  return r;
}

namespace {

struct Cone {
  Vec3 axis;
  Vec3 apex;
  float cosineSquared;
};

bool InFront(const Cone& cone, Vec3 p) {
  return Dot(cone.axis, p - cone.apex) >= 0.0f;
}

bool CornerInside(const Cone& cone, Vec3 p) {
  const Vec3 w = p - cone.apex;
  const float along = Dot(cone.axis, w);
  return along >= 0.0f && along * along - cone.cosineSquared * Dot(w, w) >= 0.0f;
}

bool EdgeInside(const Cone& cone, Vec3 pa, Vec3 pb, bool aInFront, bool bInFront) {
  const Vec3 w = pa - cone.apex, e = pb - pa;
  const float da = Dot(cone.axis, w);
  const float de = Dot(cone.axis, pb - cone.apex) - da;
  const float c2 = de * de - cone.cosineSquared * Dot(e, e);
  if (c2 >= 0.0f) return false;
  const float c1 = de * da - cone.cosineSquared * Dot(e, w);
  const float c0 = da * da - cone.cosineSquared * Dot(w, w);
  bool inRange;
  if (!aInFront) {
    inRange = c1 <= -c2 && c2 * da <= c1 * de;
  } else if (!bInFront) {
    inRange = c1 >= 0.0f && c2 * da <= c1 * de;
  } else {
    inRange = 0.0f <= c1 && c1 <= -c2;
  }
  return inRange && c0 * c2 <= c1 * c1;
}

bool AxisThroughFace(const Cone& cone, const Vec3 triangle[3]) {
  const Vec3 e0 = triangle[1] - triangle[0], e1 = triangle[2] - triangle[0];
  const Vec3 normal = Cross(e0, e1);
  const Vec3 w0 = triangle[0] - cone.apex;
  const float nd = Dot(normal, cone.axis);
  const Vec3 u = cone.axis * Dot(normal, w0) - w0 * nd;
  const Vec3 m = Cross(normal, u);
  const float s0 = Dot(m, e0), s1 = Dot(m, e1);
  const float span = Dot(normal, normal) * nd;
  if (nd >= 0.0f) return !(s0 > 0.0f || s1 < 0.0f) && s1 - s0 <= span;
  return !(s0 < 0.0f || s1 > 0.0f) && span <= s1 - s0;
}

}  // namespace

int ConeTriangleOverlap(Vec3 unitAxis, Vec3 apex, float cosine, const Vec3 triangle[3]) {
  const Cone cone{unitAxis, apex, cosine * cosine};
  bool inFront[3];
  for (int i = 0; i < 3; ++i) {
    inFront[i] = InFront(cone, triangle[i]);
    if (CornerInside(cone, triangle[i])) return 1;
  }
  static const int kEdges[3][2] = {{0, 1}, {0, 2}, {1, 2}};
  for (const auto& edge : kEdges) {
    const int a = edge[0], b = edge[1];
    if (!inFront[a] && !inFront[b]) continue;
    if (EdgeInside(cone, triangle[a], triangle[b], inFront[a], inFront[b])) return 1;
  }
  if (!inFront[0] && !inFront[1] && !inFront[2]) return 0;
  return AxisThroughFace(cone, triangle) ? 1 : 0;
}

namespace {

float Excess(float coordinate, float half) {
  if (coordinate < -half) return coordinate + half;
  if (coordinate > half) return coordinate - half;
  return 0.0f;
}

}  // namespace

int SphereBoxOverlap(Vec3 centre, float squaredRadius, Vec3 halfSizes) {
  const float ex = Excess(centre.x, halfSizes.x), ey = Excess(centre.y, halfSizes.y),
              ez = Excess(centre.z, halfSizes.z);
  return ex * ex + ey * ey + ez * ez <= squaredRadius ? 1 : 0;
}
