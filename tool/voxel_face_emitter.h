// One visible face of one solid voxel, written in two forms that stay in step: a four-vertex
// strip of the 3D object being built and the OBJ lists (positions, texture coordinates, normals,
// face and material lines) that the OBJ writer prints.
#pragma once

#include <cstdint>

// Face directions, numbered as the passes of the face generation run them.
inline constexpr int32_t kFaceMinusZ = 0, kFacePlusZ = 1, kFacePlusY = 2, kFaceMinusY = 3,
                         kFaceMinusX = 4, kFacePlusX = 5;

// The face of the voxel at cell (x, y, z) with palette index `index` on side `direction`, when
// that side's neighbour is empty; the six neighbours come in the order (x, y, z - 1),
// (x, y, z + 1), (x - 1, y, z), (x + 1, y, z), (x, y + 1, z), (x, y - 1, z). With ReduceFaces
// exactly 1 a face on the -z, +z, -x or +x side first stretches over the following voxels of the
// same index whose face on that side is open too, and the pass's skip counter grows by the
// voxels it took in. Returns 0.
double EmitVoxelFaces(double x, double y, double z, double n0, double n1, double n2, double n3,
                      double n4, double n5, double index, double direction);
