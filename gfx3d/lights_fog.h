// The scene's lighting: OpenGL's fixed lights 0 to 7, the one shadow light that drives the
// shadow and shading modes of object drawing, fog, and the stencil shadow volumes of a part.
#pragma once

#include <cstdint>

#include "gfx3d/mesh_gpu.h"

class Rainbows3D;

// Shadow-light modes of object drawing.
inline constexpr uint8_t kShadowDot3 = 1;
inline constexpr uint8_t kShadowCel = 2;
inline constexpr uint8_t kShadowStencil = 3;

// GL light n & 7, or the shadow light for a negative n (-1 dot3, -3 stencil volumes, any other
// cel shading). A cutoff of 0 switches the light off; 180 makes a directional light along the
// direction, above 90 a point light, 90 or less a spot light. Colours are 0x00BBGGRR. The
// position and direction go through the model-view matrix in force.
void SetLight(Rainbows3D& scene, int32_t n, uint32_t colour, Vec3 position, Vec3 direction,
              float cutoff, bool debugDrawing);
// A light from the camera eye towards the origin.
void SetLightAtCamera(Rainbows3D& scene, int32_t n, uint32_t colour);
// Colour 0xFFFFFFFF (-1) switches fog off. Mode 0: linear from nearDistance to farDistance (both 0:
// the scene's clip planes); any other mode: exponential with density nearDistance.
void SetFog(Rainbows3D& scene, uint32_t colour, int32_t mode, float nearDistance,
            float farDistance);

// Marks the stencil with the volume swept by the part's silhouette edges away from the light,
// from the facing flags and edge marks of the last ComputeFacingFlags. `corners` is the list that
// call read, `cornerCount` records long. With caps, the triangles close the volume too.
void DrawShadowVolumes(const MeshObjectX& part, const MeshVertex* corners, int32_t cornerCount,
                       Vec3 light, bool caps);
