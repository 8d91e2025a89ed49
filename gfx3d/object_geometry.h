// Whole-object geometry changes and saving: scaling a part's frames, the frames' bounding
// spheres, and writing an object's first part as a binary model file.
#pragma once

#include <cstdint>

#include "gfx3d/vector_maths.h"

class MeshObject;
class MeshObjectX;
class Rainbows3D;

// Positions, normals, tangents and bitangents of every frame scaled, bounds recomputed, and the
// part's static vertex buffer dropped so the next draw uploads the scaled triangles.
void ScaleObject(MeshObjectX& part, Vec3 scale);
// Centre = mean triangle-list position ((0, 0, 0) with none), radius = the farthest one's distance.
void ComputeFrameBounds(MeshObject& part);
// 1 when the whole file was written; 0 for an object number out of range, a slot not in use or
// without parts, and for a failed write.
int SaveObjectFile(Rainbows3D& scene, const char* name, int32_t object);
