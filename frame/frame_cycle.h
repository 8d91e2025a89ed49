// The frame cycle: showing a finished frame and waiting out the frame period.
#pragma once

#include <cstdint>

#include "core/user_functions.h"

class OpenGLRainbows;

// Shows the frame and waits for the next frame time; the callback (or null) runs for every
// pumped window message. 1, or 0 when the message pump failed.
int32_t PresentFrame(OpenGLRainbows& ctx, UserFunction messageCallback);
