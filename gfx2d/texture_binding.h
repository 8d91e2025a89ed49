// Which sprite textures are bound, how they are filtered, and the alpha test: the texture state
// every 2D and 3D draw goes through.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Sprite a on texture unit 0, or, with two sprites, b on unit 0 and a on unit 1; a = -1 leaves
// both units untextured. The texture of sprite s is textureTable[s] when a table is given, else
// the sprite's texture (or its mipmapped copy with useMipmapped). A sprite id outside the table
// binds no texture. Unit 0 stays selected.
void BindSpriteTextures(OpenGLRainbows& ctx, int32_t spriteA, int32_t spriteB, int32_t useMipmapped,
                        const uint32_t* textureTable);

void SetSpriteSmoothing(OpenGLRainbows& ctx, int32_t smoothing);
// Linear or nearest filtering of the bound texture, from the smoothing setting.
void ApplySpriteFilter(const OpenGLRainbows& ctx);
// reference < 1: pixels pass when their alpha is greater; 1 or more switches the test off.
void SetAlphaTest(OpenGLRainbows& ctx, float reference);
