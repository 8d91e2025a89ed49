// Drawing 3D objects: each part tested against the view frustum, shaped for the shadow light's
// mode (dot3 bump mapping, cel shading with an outline, stencil shadow volumes), blended between
// two animation frames and sent through a static or a stream vertex buffer.
#pragma once

#include <cstdint>

#include "gfx3d/mesh_gpu.h"

class Rainbows3D;

// Object n at the blend position t between frames a and b (t runs from a to b with animate). A
// one-part object draws with the textures already selected; a scene object selects each part's
// own two textures from its texture list first. Slots outside 0 .. 4095 or not in use draw
// nothing.
void DrawObject(Rainbows3D& scene, int32_t object, int32_t frameA, int32_t frameB, float t,
                uint8_t animate);
// The viewer's drawing: frame f, unblended.
void DrawObject3D(Rainbows3D& scene, int32_t object, int32_t frame);

// One part. A texture table given, a sprite's texture is table[sprite], tableCount entries long;
// else the sprite store's.
void DrawMeshFrame(Rainbows3D& scene, MeshObjectX& part, int32_t frameA, int32_t frameB, float t,
                   uint8_t animate, const uint32_t* table, int32_t tableCount);
