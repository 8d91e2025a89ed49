// Single-precision kernels deciding whether a sphere, box, segment or cone touches one triangle.
// A polygon is n points in a row, closed from the last back to the first; the queries always
// pass triangles (n = 3). Nothing here keeps state between calls.
#pragma once

#include "gfx3d/vector_maths.h"

// The point where the line through the segment meets the plane N·X + d = 0; the segment's start
// when the line runs parallel to the plane.
Vec3 LinePlanePoint(Vec3 normal, const Vec3 segment[2], float d);
// Angle sum of the edges seen from the point; a point on a corner counts as outside.
int PointInTriangle(Vec3 point, const Vec3* polygon, int n);
// 1 when the segment passes through the triangle; an end on the plane does not cross.
int SegmentTriangleCross(const Vec3* polygon, const Vec3 segment[2], int n);

enum SphereSide { kSphereBehind = 0, kSphereCrossing = 1, kSphereInFront = 2 };
SphereSide SphereSideOfPlane(Vec3 centre, Vec3 normal, Vec3 pointOnPlane, float radius,
                             float* distance);
int SphereTouchesPolygonEdges(Vec3 centre, const Vec3* polygon, int n, float radius);
// A sphere just tangent to the plane does not touch.
int SphereTriangleOverlap(const Vec3* polygon, Vec3 centre, int n, float radius);

// Separating axes; touching does not separate. The half axes need not be unit or orthogonal.
int BoxTriangleOverlap(Vec3 centre, Vec3 h1, Vec3 h2, Vec3 h3, Vec3 p0, Vec3 p1, Vec3 p2);
// The parameter r of the hit S + r (E - S), unlimited on both sides; 0 for no hit.
float RayTriangleHit(const Vec3 triangle[3], Vec3 start, Vec3 end);
// The half of the cone in front of the apex against the triangle; cosine of the half angle.
int ConeTriangleOverlap(Vec3 unitAxis, Vec3 apex, float cosine, const Vec3 triangle[3]);
// The box of half sizes h centred at the origin; the radius comes squared.
int SphereBoxOverlap(Vec3 centre, float squaredRadius, Vec3 halfSizes);
