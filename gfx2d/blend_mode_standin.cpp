// Until the blend modes land, blending stays as the frame set it.
#include "gfx2d/fade_standins.h"

void StandInSetBlendMode(double) {}
