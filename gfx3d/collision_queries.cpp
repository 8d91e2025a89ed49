// The collision and picking queries over the kernels.
#include "gfx3d/collision_queries.h"

#include <algorithm>
#include <cmath>

#include "gfx3d/collision_kernels.h"
#include "gfx3d/scene.h"
#include "gfx3d/transforms.h"

namespace {

int32_t gLastHit = -1;

// World shapes taken into object space. The full inverse equals the rigid one without scaling
// and stays right with it; a radius is divided by the smallest axis scale, so a sphere never
// shrinks below what it covers.
struct ObjectSpace {
  Mat4 entity;
  Mat4 inverse;
  bool valid = false;

  explicit ObjectSpace(Rainbows3D& scene) : entity(EntityMatrix(scene)) {
    valid = GaussJordanInverse(entity, &inverse);
  }
  Vec3 Point(Vec3 p) const { return TransformPoint(inverse, p); }
  // A world vector anchored at a world point, as the difference of two transformed points.
  Vec3 Vector(Vec3 from, Vec3 v) const { return Point(from + v) - Point(from); }
  float Radius(float r) const {
    const float smallest =
        std::min({ColumnLength(entity, 0), ColumnLength(entity, 1), ColumnLength(entity, 2)});
    return r / smallest;
  }
};

// The frame when it exists and holds at least one triangle.
const MeshFrame* TestableFrame(MeshObjectX& part, int32_t frame) {
  if (frame < 0 || frame >= part.frames.count()) return nullptr;
  const MeshFrame& f = part.frames[frame];
  return f.triangles.count() >= 3 ? &f : nullptr;
}

struct Corners {
  Vec3 p[3];
};

Corners TriangleAt(const MeshFrame& frame, int32_t i) {
  return {{frame.triangles[i].position, frame.triangles[i + 1].position,
           frame.triangles[i + 2].position}};
}

float SquaredLength(Vec3 v) {
  return Dot(v, v);
}

// The parts of an object whose slot is in use; none for a free slot or a number out of range.
GrowArray<MeshObjectX>* PartsOf(Rainbows3D& scene, int32_t object) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  return slot && slot->inUse ? &slot->parts : nullptr;
}

// Keeps the smallest positive and the negative closest to 0 of a run of signed distances.
struct NearestHit {
  float ahead = 0, behind = 0;
  int32_t aheadAt = -1, behindAt = -1;

  void Add(float k, int32_t at) {
    if (k > 0.0f && (ahead == 0.0f || k < ahead)) {
      ahead = k;
      aheadAt = at;
    } else if (k < 0.0f && (behind == 0.0f || k > behind)) {
      behind = k;
      behindAt = at;
    }
  }
  float Best() const { return ahead != 0.0f ? ahead : behind; }
  int32_t BestAt() const { return ahead != 0.0f ? aheadAt : behindAt; }
};

// A shortcut only: true when the frame's bounding sphere, taken into world space, lies wholly
// outside the cone. Never rejects a real overlap.
bool ConeMissesBounds(const ObjectSpace& space, const MeshFrame& frame, Vec3 start, Vec3 axis,
                      float angle) {
  const float halfAngle = std::fabs(angle) * kDegreesToRadians;
  if (halfAngle >= float(M_PI) / 2.0f) return false;
  const Vec3 centre = TransformPoint(space.entity, frame.centre);
  const float largest = std::max({ColumnLength(space.entity, 0), ColumnLength(space.entity, 1),
                                  ColumnLength(space.entity, 2)});
  const float radius = frame.radius * largest;
  const Vec3 v = centre - start;
  const float along = Dot(v, axis);
  const float across = Length(v - axis * along);
  const float c = std::cos(halfAngle), s = std::sin(halfAngle);
  if (along * c + across * s >= 0.0f) return across * c - along * s > radius;
  return Length(v) > radius;
}

}  // namespace

int32_t LastHitVertex() {
  return gLastHit;
}

void ResetLastHitForTests() {
  gLastHit = -1;
}

int32_t LastHitTriangle() {
  return gLastHit / 3;
}

bool MeshSphereCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 centre,
                       float radius) {
  gLastHit = -1;
  const MeshFrame* f = TestableFrame(part, frame);
  const ObjectSpace space(scene);
  if (!f || !space.valid) return false;
  const Vec3 c = space.Point(centre);
  const float r = space.Radius(radius);
  const float reach = r + f->radius;
  if (reach * reach < SquaredLength(c - f->centre)) return false;
  if (SquaredLength(f->triangles[0].position - c) <= r * r) return true;
  for (int32_t i = 0; i + 3 <= f->triangles.count(); i += 3) {
    if (SphereTriangleOverlap(TriangleAt(*f, i).p, c, 3, r)) {
      gLastHit = i;
      return true;
    }
  }
  return false;
}

bool ObjectSphereCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 centre,
                         float radius) {
  GrowArray<MeshObjectX>* parts = PartsOf(scene, object);
  if (!parts) return false;
  for (MeshObjectX& part : *parts) {
    if (MeshSphereCollide(scene, part, frame, centre, radius)) return true;
  }
  return false;
}

bool MeshBoxCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 centre, Vec3 a,
                    Vec3 b, Vec3 c) {
  gLastHit = -1;
  const MeshFrame* f = TestableFrame(part, frame);
  const ObjectSpace space(scene);
  if (!f || !space.valid) return false;
  const Vec3 middle = space.Point(centre);
  const Vec3 ha = space.Vector(centre, a), hb = space.Vector(centre, b),
             hc = space.Vector(centre, c);
  const float reach = Length(ha) + Length(hb) + Length(hc) + f->radius;
  if (Length(middle - f->centre) > reach) return false;
  for (int32_t i = 0; i + 3 <= f->triangles.count(); i += 3) {
    const Corners t = TriangleAt(*f, i);
    if (BoxTriangleOverlap(middle, ha, hb, hc, t.p[0], t.p[1], t.p[2])) {
      gLastHit = i;
      return true;
    }
  }
  return false;
}

bool ObjectBoxCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 centre, Vec3 a,
                      Vec3 b, Vec3 c) {
  GrowArray<MeshObjectX>* parts = PartsOf(scene, object);
  if (!parts) return false;
  for (MeshObjectX& part : *parts) {
    if (MeshBoxCollide(scene, part, frame, centre, a, b, c)) return true;
  }
  return false;
}

float MeshRayCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 start,
                     Vec3 direction) {
  const MeshFrame* f = TestableFrame(part, frame);
  if (!f) return 0.0f;
  gLastHit = -1;
  const ObjectSpace space(scene);
  if (!space.valid) return 0.0f;
  const Vec3 unit = NormaliseOrKeep(direction);
  const Vec3 segment[2] = {space.Point(start), space.Point(start + unit)};
  NearestHit nearest;
  for (int32_t i = 0; i + 3 <= f->triangles.count(); i += 3) {
    nearest.Add(RayTriangleHit(TriangleAt(*f, i).p, segment[0], segment[1]), i);
  }
  gLastHit = nearest.BestAt();
  return nearest.Best();
}

float ObjectRayCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 start,
                       Vec3 direction) {
  GrowArray<MeshObjectX>* parts = PartsOf(scene, object);
  if (!parts) return 0.0f;
  NearestHit nearest;
  for (MeshObjectX& part : *parts) {
    nearest.Add(MeshRayCollide(scene, part, frame, start, direction), 0);
  }
  return nearest.Best();
}

float MeshRayCast(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 start,
                  Vec3 direction, float angle) {
  const MeshFrame* f = TestableFrame(part, frame);
  const ObjectSpace space(scene);
  if (!f || !space.valid) return 0.0f;
  const Vec3 unit = NormaliseOrKeep(direction);
  if (ConeMissesBounds(space, *f, start, unit, angle)) return 0.0f;
  const Vec3 apex = space.Point(start);
  const Vec3 axis = NormaliseOrKeep(space.Point(start + unit) - apex);
  const float cosine = std::cos(angle * kDegreesToRadians);
  for (int32_t i = 0; i + 3 <= f->triangles.count(); i += 3) {
    if (ConeTriangleOverlap(axis, apex, cosine, TriangleAt(*f, i).p)) return 1.0f;
  }
  return 0.0f;
}

float ObjectRayCast(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 start,
                    Vec3 direction, float angle) {
  GrowArray<MeshObjectX>* parts = PartsOf(scene, object);
  if (!parts) return 0.0f;
  for (MeshObjectX& part : *parts) {
    if (MeshRayCast(scene, part, frame, start, direction, angle) != 0.0f) return 1.0f;
  }
  return 0.0f;
}

bool EntitySphereBoxTest(Rainbows3D& scene, Vec3 centre, float radius, Vec3 halfSizes) {
  const ObjectSpace space(scene);
  if (!space.valid) return false;
  const float r = space.Radius(radius);
  return SphereBoxOverlap(space.Point(centre), r * r, halfSizes) != 0;
}
