// Stand-ins for the 2D layer's services until the 2D layer installs its own (see
// frame/gfx2d_services.h). Each group lives in the file named for what it stands in for.
#pragma once

#include "frame/gfx2d_services.h"

// frame/offscreen_screens_standin.cpp
void StandInEndOffscreenScreen(OpenGLRainbows& ctx);
void StandInDeleteFramebuffer(OffscreenScreen& screen);
void StandInLoadFramebufferExtensions();
