// How drawn pixels meet the picture: replaced, alpha-blended or added, and the draw alpha that
// untextured and textured draws take from the current colour.
#pragma once

class OpenGLRainbows;

// a = 0: blending off while the alpha test is on, else ordinary alpha blending; a < 0 ordinary
// alpha blending; a > 0 additive. The draw alpha is 1 for 0, else |a| up to 1; the colour
// becomes white with that alpha.
void ApplyBlendMode(OpenGLRainbows& ctx, float a);
