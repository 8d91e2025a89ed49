// Stand-in for the 2D service the fade uses until the blend modes land.
#pragma once

// gfx2d/blend_mode_standin.cpp
void StandInSetBlendMode(double a);
