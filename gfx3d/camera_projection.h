// Entering 3D drawing: the projection, the look-at camera, the frustum planes, culling and depth.
#pragma once

#include <cstdint>

#include "gfx3d/matrix_maths.h"

class Rainbows3D;

void SetCameraUp(Rainbows3D& scene, float x, float y, float z);
// Builds and loads the camera, resets the transform stack and recomputes the frustum planes.
void SetCameraLookAt(Rainbows3D& scene, Vec3 eye, Vec3 target);
// The look-at of eye, target and the scene's up vector into the camera, and into GL's current
// matrix.
void LookAtMatrix(Rainbows3D& scene, Vec3 eye, Vec3 target);
void SetTextureOffset3D(Rainbows3D& scene, float u, float v);

// The planes of projection x camera, each scaled so its normal has length 1.
void ComputeFrustumPlanes(Rainbows3D& scene);
// Touching a plane counts as inside.
bool SphereInFrustum(const Rainbows3D& scene, float x, float y, float z, float radius);

// The glFrustum and glOrtho matrices into `out`, and multiplied into GL's current matrix.
void MakeFrustumMatrix(float l, float r, float b, float t, float n, float f, Mat4& out);
void MakeOrthoMatrix(float l, float r, float b, float t, float n, float f, Mat4& out);

// 0: no culling; 1: clockwise fronts culled from behind; -1: counter-clockwise fronts; any other
// mode is stored without a GL change.
void ApplyCullMode(Rainbows3D& scene, int32_t mode);
void SetDepthTest(bool on);

// A field of view above 0 is a perspective projection of that vertical angle; 0 or below an
// orthographic one 100 times the size of the mirrored angle's. Resets the per-frame state.
void Begin3DScene(Rainbows3D& scene, float nearClip, float farClip, float fov);
