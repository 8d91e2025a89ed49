// Pixel arrays: integer arrays holding one picture's pixels row by row from the top, each
// element the pixel's R, G, B and A bytes in memory order (R | G << 8 | B << 16 | A << 24).
#pragma once

#include <cstdint>

#include "core/dim_array.h"
#include "core/str.h"

// Makes sprite n from an array of exactly w x h elements: 1, or 0 with nothing changed.
int32_t ArrayToSpriteCmd(DimArray& pixels, int32_t sprite, int32_t width, int32_t height);
// The array becomes sprite n's pixels: 1, or 0 with the array unchanged when the sprite has
// none or cannot be read.
int32_t SpriteToArrayCmd(DimArray& pixels, int32_t sprite);
// Reads an image file (BMP, PNG, then JPEG) into the array and its size; error 3 when none of
// them reads it, the error code otherwise left as it was.
void LoadImageToArrayCmd(const Str& name, int32_t* width, int32_t* height, DimArray& pixels);
