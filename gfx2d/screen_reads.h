// Reading drawn pixels back: a rectangle of the screen copied into a sprite.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// The logical rectangle (x, y, width, height) becomes sprite's picture; a width or height of 0
// frees the sprite.
bool GrabSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h);
