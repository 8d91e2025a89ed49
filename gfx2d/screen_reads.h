// Reading drawn pixels back: one pixel at a time (through the block cache of
// gfx2d/screen_read_cache.h) and a screen rectangle into a sprite. Reads come from the window's
// back buffer, or from the framebuffer of the off-screen screen in use, in logical coordinates
// of the screen orientation.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// The colour 0x00BBGGRR of logical pixel (x, y), alpha dropped; 0 outside the target.
uint32_t ReadPixel(OpenGLRainbows& ctx, int32_t x, int32_t y);

// The transparent colour as the framebuffer stores it, its bytes reversed (0x00BBGGRR becomes
// 0xRRGGBB00): drawn at (4, 4), read back, and the pixel put back. 0 when the colour is 0.
uint32_t ProbeColourPrecision(OpenGLRainbows& ctx);

// Copies the logical rectangle into the sprite, upright whatever the orientation, opaque: the
// framebuffer's alpha is not copied. A width or height of 0 or less frees the sprite and
// succeeds; a rectangle too large for a texture frees it and fails. Without alpha bits in the
// framebuffer, pixels of the transparent colour get alpha 0.
bool GrabSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h);
