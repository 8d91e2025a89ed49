// Stand-ins for the 2D services the fade uses until the background pictures and the blend
// modes land. Each group lives in the file named for what it stands in for.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// gfx2d/background_pictures_standin.cpp: no picture is ever loaded or grabbed, so freeing one
// only clears its record.
void StandInGrabBackground(OpenGLRainbows& ctx, int32_t slot);
bool StandInLoadBackgroundPicture(OpenGLRainbows& ctx, int32_t slot, const char* fileName);
void StandInFreeBackgroundTiles(OpenGLRainbows& ctx, int32_t slot);

// gfx2d/blend_mode_standin.cpp
void StandInSetBlendMode(double a);
