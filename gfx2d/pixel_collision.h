// Pixel-exact collision of two sprites, or two animation frames: they collide when some screen
// pixel is covered by an opaque texel of both. Each sprite's alpha channel is read back from its
// texture once and kept as a mask beside the sprite table until the sprite changes.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Reads the sprite's mask (one byte per texel of level 0, row 0 the image's bottom row) unless
// it has one; a free sprite gets none.
void CacheSpriteAlphaMask(OpenGLRainbows& ctx, int32_t sprite);

// Sprites placed by their top-left corners, tested inside x0 <= x < x1, y0 <= y < y1.
bool PixelMaskCollision(OpenGLRainbows& ctx, int32_t a, int64_t ax, int64_t ay, int32_t b,
                        int64_t bx, int64_t by, int64_t x0, int64_t y0, int64_t x1, int64_t y1);
bool SpriteCollision(OpenGLRainbows& ctx, int32_t a, int32_t b, int32_t ax, int32_t ay, int32_t bx,
                     int32_t by);
// One animation frame of each (the whole image when the frame width is 0), its top-left at the
// position given. A free sprite, a negative frame or a frame outside the image never collides.
bool AnimCollision(OpenGLRainbows& ctx, int32_t a, int32_t frameA, int32_t ax, int32_t ay,
                   int32_t b, int32_t frameB, int32_t bx, int32_t by);
