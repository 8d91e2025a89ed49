// Sprites and text placed in the 3D scene: a sprite as a quad facing the camera, and text either
// as a screen label over a 3D point or as glyph quads along the camera's axes.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// The sprite as a quad half its pixel size times scale, its bottom edge centred on (x, y, z),
// spanned by the axes of the current model-view matrix. Sprites outside the table draw nothing.
void DrawBillboard(OpenGLRainbows& ctx, int32_t sprite, float x, float y, float z, float scale);

// Scale 0: the text as a screen label with its bottom edge centred over the point seen through
// the scene's camera and projection (nothing for a point in the camera plane). Otherwise glyph
// quads scale times their cell size along the camera's right and up axes, centred on the point.
// Culling and lighting are off while it draws and come back on every path.
void PrintText3D(OpenGLRainbows& ctx, int32_t font, const char* text, float x, float y, float z,
                 float scale, int32_t proportional);
