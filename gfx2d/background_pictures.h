// Background pictures: full-screen images cut into square texture tiles, so that a picture
// larger than one texture can be drawn. Picture 0 fills each new frame while it holds tiles; the
// on-screen text input grabs the screen into a picture and draws it back under its line.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Loads a BMP, PNG or JPEG file (tried in that order, no colour key) as picture n, in tiles of
// min(maximum texture size, 512). False, picture unchanged, when no reader takes the file, the
// image is empty or needs more than 8 tiles a side; false, picture empty, when an upload fails.
bool LoadBackgroundPicture(OpenGLRainbows& ctx, int32_t n, const char* fileName);
// Copies the whole window into picture n, reusing tiles of the same size (an empty picture takes
// the tiles set aside); a window that needs more than 8 tiles a side leaves the picture as it was.
void GrabBackground(OpenGLRainbows& ctx, int32_t n);
// Empties picture n and keeps its tile textures for the next grab, in place of those kept before.
void SetBackgroundTilesAside(OpenGLRainbows& ctx, int32_t n);
// Deletes the picture's tile textures; the picture is empty.
void FreeBackgroundTiles(OpenGLRainbows& ctx, int32_t n);
// Draws picture n at the top-left of the target in the current blend mode and draw alpha, with
// the alpha test off. Leaves texturing off, normal alpha blending, draw alpha 1 and white.
void DrawBackgroundPicture(OpenGLRainbows& ctx, int32_t n);
