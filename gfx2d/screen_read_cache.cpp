// Stand-in until the screen reads land: there is no cached block yet, so nothing to drop.
#include "gfx2d/screen_read_cache.h"

void InvalidateScreenReads() {}
