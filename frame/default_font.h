// The built-in character set as a font: a 16-column grid of 8-pixel cells.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Gives font 0..31 the built-in character set (sprite 65504 + font); other numbers do nothing.
// False when the font image cannot be made or uploaded.
bool CreateDefaultFont(OpenGLRainbows& ctx, int32_t font);
