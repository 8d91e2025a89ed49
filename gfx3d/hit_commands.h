// The program's collision and picking commands: spheres, boxes and rays against objects placed
// by the current entity transform, and points between the world and the screen. While the
// runtime's debug flag is set the tested shapes are drawn, red on a hit and green otherwise.
// Objects outside 0 .. 4095 never hit and draw nothing.
#pragma once

#include <cstdint>

int32_t ObjectSphereHit(int32_t object, int32_t frame, double x, double y, double z, double radius);
// A box of the sizes along x, y and z centred on (x, y, z).
int32_t ObjectBoxHit(int32_t object, int32_t frame, double x, double y, double z, double sx,
                     double sy, double sz);
// The sphere against the box of the sizes centred on the current entity transform.
int32_t SphereBoxHit(double x, double y, double z, double radius, double sx, double sy, double sz);
// The signed distance along the normalised direction to the nearest hit in front of the start,
// else the nearest behind it; 0 for none.
double ObjectRayHit(int32_t object, int32_t frame, double x, double y, double z, double dx,
                    double dy, double dz);
// The triangle the last sphere, box or ray hit (0 also for none).
int32_t LastHitTriangleCmd();
// The window point (rows from the top) and depth of a world point: 0 when it lies in the
// camera's plane, outputs untouched.
int32_t ProjectToScreen(double x, double y, double z, double* sx, double* sy, double* depth);
// The world point under window point (sx, sy) at the depth: 0 when the view cannot be inverted.
int32_t ScreenToWorld(double sx, double sy, double depth, double* x, double* y, double* z);
