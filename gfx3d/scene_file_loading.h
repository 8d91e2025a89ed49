// Scene files: INI files that list textures and model files, each model one part of a single
// object with its own two textures.
//
//   ;KMW
//   [textures]
//   count = 1
//   1 = stone.png
//   [objects]
//   count = 2
//   1 = wall.kmo
//   1ta = 1
//   2 = door.kmo
//
// Names are relative to the scene file's folder. A texture number (from 1) picks the texture of
// unit 0 ("ta") or unit 1 ("tb"); 0 and a missing key pick the first as well.
#pragma once

#include <cstdint>

struct ObjectSlot;

// Fills an emptied slot: in use, several parts, one GL texture per listed texture (0 for one that
// cannot be read) and one part per listed model (empty for one that cannot be read). A texture
// number outside the list is stored as -1, no texture. A count below 0 is 0, and one above the
// number of keys in its section is cut to that number. The name is a disk path or a memory name,
// already resolved; BMP textures lose the transparent colour (-1 = none). Answers 1.
int LoadScene(const char* name, ObjectSlot& slot, int32_t transparentColour);
