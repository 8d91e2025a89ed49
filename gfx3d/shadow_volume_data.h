// Which triangles of a part share an edge, and, for a light position, which triangles face it and
// which of their edges lie on the silhouette: the data the stencil shadow volumes are made from.
#pragma once

#include "gfx3d/mesh_gpu.h"

// Fills the part's edge list from frame 0's triangle list: corners closer than 1e-5 on every axis
// count as one, and each edge gets the triangle sharing it (-1 when none). Built once: nothing
// happens while the list has entries or when the part has no frames.
void BuildShadowEdgeList(MeshObjectX& part);

// The facing flag of each triangle for a light at `light` (object space), then the silhouette mark
// of every edge. Triangles are read from `corners`, `cornerCount` records long; only as many
// triangles as both that list and frame 0 hold are read, the rest count as not facing.
void ComputeFacingFlags(MeshObjectX& part, const MeshVertex* corners, int32_t cornerCount,
                        Vec3 light);
