// Points between world space and window coordinates through a camera, a projection and a
// viewport (x, y, width, height), as OpenGL's pipeline maps them.
#pragma once

#include <cstdint>

#include "gfx3d/matrix_maths.h"

// Window rows count from the top. 0 when the point lies in the camera's plane (w = 0).
int ProjectPoint(Vec3 point, Vec3* window, const int32_t viewport[4], const Mat4& projection,
                 const Mat4& camera);
// Window rows count from the bottom, as OpenGL's. 0 when projection x camera is singular or the
// point maps to w = 0.
int UnprojectPoint(Vec3 window, Vec3* point, const int32_t viewport[4], const Mat4& projection,
                   const Mat4& camera);
