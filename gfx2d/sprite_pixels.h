// A sprite's pixels read back into an image, and sprites or the whole window saved as image
// files (BMP, PNG or JPEG by the file name's extension).
#pragma once

#include <cstdint>

#include "frame/graphics_records.h"

class OpenGLRainbows;

// The sprite's width x height pixels, top row first. Read through a framebuffer on the sprite's
// texture, or straight from the texture when no framebuffer can be made; false for a free
// sprite or when neither read works.
bool ReadPixelsToImage(OpenGLRainbows& ctx, int32_t sprite, RgbaImage& image);
bool SaveSprite(OpenGLRainbows& ctx, int32_t sprite, const char* fileName);
// The whole window, opaque, through a sprite id that is free for the moment; false when none is
// free.
bool SaveScreen(OpenGLRainbows& ctx, const char* fileName);
