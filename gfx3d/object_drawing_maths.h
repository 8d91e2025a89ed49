// The vertex work of drawing an object, apart from OpenGL: which two frames are blended and by
// how much, the working list rebuilt from them (blend, dot3 light vectors, cel ramp coordinates,
// texture offset) and the width of the cel outline.
#pragma once

#include <cstdint>

#include "gfx3d/matrix_maths.h"
#include "gfx3d/mesh_gpu.h"

// The shape drawn is frame x + weight * (frame y - frame x).
struct FramePair {
  int32_t x = 0;
  int32_t y = 0;
  float weight = 0;
};

// Without animate the frames and t are taken as they stand; with animate t runs from frame a to
// frame b (t outside 0 .. 1 wraps). Both frames are clamped to 0 .. frameCount - 1.
FramePair ChooseFramePair(int32_t a, int32_t b, float t, bool animate, int32_t frameCount);

// The records of a list every reader of frames x and y may touch: the working list's count, cut
// down to the shorter of the two frames' lists.
int32_t BlendableRecords(const MeshObjectX& part, const FramePair& pair);

// How the shadow light shapes the rebuilt records: 0 none, 1 dot3 vectors, 2 cel coordinates.
struct LightShaping {
  int32_t mode = 0;
  Vec3 light;  // object space
};

// Rewrites the first `count` records of the working list from frames pair.x and pair.y: blended
// positions and normals (whole records copied from frame x at weight 0), the shaping fields, and
// u, v from frame x plus the texture offset.
void RebuildWorkingList(MeshObjectX& part, const FramePair& pair, int32_t count,
                        const LightShaping& shaping, const float textureOffset[2]);

// The outline's width: viewFactor * |eyeInObject - centre| * 0.003, divided by s squared for every
// one of `stackDepth` levels when the entity matrix's 3 x 3 part scales by s (the mean column
// length).
float CelOutlineWidth(float viewFactor, Vec3 eyeInObject, Vec3 centre, const Mat4& entity,
                      int32_t stackDepth);
