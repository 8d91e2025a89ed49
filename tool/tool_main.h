// The tool's main program: the set-up, the questions, the work in its fixed order and the
// viewer, ending the program when the viewer is left.
#pragma once

#include <cstdint>

#include "core/str.h"

// Never returns: the program ends with END after the viewer (or earlier, on Escape or when the
// box cannot hold the answers).
int32_t ToolMain();

// Why an image name is refused, or null when the file loads as sprite 0: "No such file..." or,
// for a file that is there but loads as no image (not an image, corrupt, too large for a
// texture), "Cannot load image...".
const char* ImageNameRefusal(const Str& name);
