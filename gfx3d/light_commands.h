// The program's light, fog and cel-shading commands. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>

#include "core/dim_array.h"

// A light from the camera eye towards the origin.
void SetCameraLight(int32_t light, int32_t colour);
// GL light n & 7, or the shadow light for a negative n; cutoff 0 switches it off. While the
// runtime's debug flag is set the light's position and direction are drawn too.
void SetLight3D(int32_t light, int32_t colour, double x, double y, double z, double dx, double dy,
                double dz, double cutoff);
// Colour -1 switches fog off.
void SetFog3D(int32_t colour, int32_t mode, double nearDistance, double farDistance);
// The ramp from the array's first-dimension elements, each 0 .. 1 of full brightness.
void SetCelRampFromArray(DimArray& values);
