// Filling an object slot from a file: a model file (binary, or text, which the binary reader
// falls back to) becomes the slot's one part; a scene file, tagged ";KMW" in its first four
// bytes, becomes one part per listed model, with the textures it lists.
#pragma once

#include <cstdint>

class Rainbows3D;

// The slot is emptied completely first, whatever follows, so a failed load leaves nothing of the
// object it held (an object being built there stops being built). The name is a disk path or a
// memory name, already resolved through the media search. 1 for a model with at least one
// non-empty frame, or for a scene file; 0 leaves the slot empty. Numbers outside 0 .. 4095 load
// nothing.
uint32_t LoadObjectFile(Rainbows3D& scene, const char* name, int32_t object);
