// The untextured primitives: one pixel, a one-pixel line and a filled rectangle, in a colour
// 0x00BBGGRR; the transparent colour draws with alpha 0, any other with the draw alpha.
#pragma once

#include <cstdint>

class OpenGLRainbows;

void DrawPoint(OpenGLRainbows& ctx, int32_t x, int32_t y, uint32_t colour);
// Both end pixels are set.
void DrawLine(OpenGLRainbows& ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// A negative width or height extends the rectangle to the left or upwards from x or y,
// including that pixel.
void FillRect(OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t colour);
