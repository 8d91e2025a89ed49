// Plain untextured shapes drawn into the 3D scene with the current model-view matrix: dots,
// lines, an axes marker, wire spheres and wire boxes. Colours are 0x00BBGGRR, alpha 1. Each
// leaves lighting, colour and smoothing as it found them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx3d/vector_maths.h"

class Rainbows3D;

void DrawDot3D(Rainbows3D& scene, Vec3 point, uint32_t colour, float size);
void DrawLine3D(Rainbows3D& scene, Vec3 a, Vec3 b, uint32_t colour, float width);
// Red, green and blue arrows 20 units long along x, y and z at the world point, whatever the
// entity transform.
void DrawAxesMarker(Rainbows3D& scene, float x, float y, float z);
void DrawWireSphere(Rainbows3D& scene, Vec3 centre, float radius, uint32_t colour,
                    int16_t lineWidth);
// The 12 edges of the box with corners centre +- a +- b +- c.
void DrawWireBox(Rainbows3D& scene, Vec3 centre, Vec3 a, Vec3 b, Vec3 c, uint32_t colour,
                 int16_t lineWidth);

// The triangles the wire sphere is drawn as, three corners each: the unit icosahedron's faces
// split `depth` times, projected onto the sphere.
using WireLoop = std::array<Vec3, 3>;
std::vector<WireLoop> WireSphereLoops(Vec3 centre, float radius, int32_t depth);
