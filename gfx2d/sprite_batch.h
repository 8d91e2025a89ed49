// Sprite draws that follow one another with the same texture and filter are held back and sent
// as one vertex array. Everything else that touches GL while draws are held (state changes, other
// drawing, reads and grabs, target switches, texture changes, the swap) calls FlushSpriteBatch()
// first, so the screen ends up exactly as if each sprite had been drawn on its own.
#pragma once

#include <cstdint>

#include "gfx2d/polygon_batch.h"

class OpenGLRainbows;

// How a sprite's four corners are drawn: as one GL quad (wrap as bound), or as a four-corner
// fan with the texture's edges clamped, as DrawQuadFan draws it.
enum class SpriteShape { kQuad, kClampedFan };

// True when the corners joined the held draws: they are of this sprite with the same texture,
// filter and shape, and batching is on. Otherwise the caller flushes, sets up GL for the sprite
// and calls StartSpriteBatch (or draws alone when batching is off).
bool JoinSpriteBatch(const OpenGLRainbows& ctx, int32_t sprite, SpriteShape shape,
                     const QuadVertex (&corners)[4]);
// Holds the corners as the first draw of a batch; the sprite's texture, filter and wrap must be
// set in GL already.
void StartSpriteBatch(const OpenGLRainbows& ctx, int32_t sprite, SpriteShape shape,
                      const QuadVertex (&corners)[4]);
void FlushSpriteBatch();

// On by default; off draws every sprite alone, for the tests and benchmarks that compare the two.
void SetSpriteBatching(bool on);
bool SpriteBatching();
