// Vertex normals, tangents and bitangents of a mesh, summed per shared vertex over the
// triangles of its build streams.
#pragma once

#include "gfx3d/mesh_object.h"

// Computes what is asked for and not yet valid: flat (one normal per record) or smooth (records
// at one position share a normal), tangents from the texture coordinates. Then runs the mesh's
// MeshObjectPrepareBase. Nothing happens for a mesh without records, with nothing left to do or
// whose build streams are stubs.
void PrepareMeshNormals(MeshObject& mesh, bool computeNormals, bool smooth, bool computeTangents);

// How records find their shared entry. The hash gives the same entries as the linear search
// from the newest entry back (keys are unique in the list); the linear one is kept to show it.
enum class SharedKeySearch { Hash, Linear };
void PrepareMeshNormalsWith(MeshObject& mesh, bool computeNormals, bool smooth,
                            bool computeTangents, SharedKeySearch search);

// The key that makes records at one position share an entry: 256x + 65536y + 16777216z in
// double, truncated to 64 bits, the low 32 kept. A position too large or NaN gives 0.
uint32_t SmoothVertexKey(Vec3 position);
