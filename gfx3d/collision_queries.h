// Spheres, boxes, rays and cones in world space tested against a 3D object placed by the current
// entity transform. Each shape goes into the object's own space once, through the inverse of the
// entity matrix, and the kernels test it per triangle of one frame. The triangle hit by the last
// sphere, box or ray query stays available.
#pragma once

#include <cstdint>

#include "gfx3d/vector_maths.h"

class Rainbows3D;
class MeshObjectX;

// The triangle-list index of the first corner of the triangle last hit; -1 for none.
int32_t LastHitVertex();
void ResetLastHitForTests();
// LastHitVertex / 3, truncated toward zero (so no hit reads 0).
int32_t LastHitTriangle();

bool MeshSphereCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 centre,
                       float radius);
bool ObjectSphereCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 centre,
                         float radius);
// The box is its centre and three half-axis vectors.
bool MeshBoxCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 centre, Vec3 a,
                    Vec3 b, Vec3 c);
bool ObjectBoxCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 centre, Vec3 a,
                      Vec3 b, Vec3 c);
// The signed distance along the normalised direction to the nearest hit in front of the start,
// else to the nearest behind it; 0 for none.
float MeshRayCollide(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 start,
                     Vec3 direction);
float ObjectRayCollide(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 start,
                       Vec3 direction);
// A cone of the given half angle (degrees) around the ray: 1.0 when it touches a triangle.
float MeshRayCast(Rainbows3D& scene, MeshObjectX& part, int32_t frame, Vec3 start,
                  Vec3 direction, float angle);
float ObjectRayCast(Rainbows3D& scene, int32_t object, int32_t frame, Vec3 start,
                    Vec3 direction, float angle);
// The sphere against the box of those half sizes centred on the current entity transform.
bool EntitySphereBoxTest(Rainbows3D& scene, Vec3 centre, float radius, Vec3 halfSizes);
