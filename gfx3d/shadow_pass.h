// The stencil shadow pass: while it is on, shadow volumes mark the stencil buffer without
// drawing; leaving it shades every marked pixel with the shadow colour at half strength.
#pragma once

#include <cstdint>

class Rainbows3D;

// Nothing when the pass already has that state.
void SetShadowPass(Rainbows3D& scene, int32_t on);
// Leaves the pass, then clears the depth buffer.
void EndShadowsClearDepth(Rainbows3D& scene);
