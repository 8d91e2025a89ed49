// The fixed set of unit normals a model file chooses from: a vertex normal is stored as the
// index of one entry.
#pragma once

#include <cstdint>

#include "gfx3d/vector_maths.h"

inline constexpr int32_t kKmoNormalCount = 162;

extern const Vec3 KmoNormalTable[kKmoNormalCount];
