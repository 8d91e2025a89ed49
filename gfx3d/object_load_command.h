// The program's command that loads a 3D object from a model or scene file.
#pragma once

#include <cstdint>

#include "core/str.h"

// Empties the object, then loads the named file into it when the name is found on disk or in
// the packed media; a file found nowhere leaves the object empty. An object number outside
// 0 .. 4095 sets error 7 and changes nothing.
void LoadObject(const Str& name, int32_t object);
