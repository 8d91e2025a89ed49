// The program's commands on background picture 0, the picture that fills every new frame.
#pragma once

#include <cstdint>

#include "core/str.h"

// Drops the background picture and clears to the colour (0x00BBGGRR) now and at every frame;
// -1 stops clearing.
void ClearScreen(int32_t colour);
// The window as it is becomes the background picture.
void GrabBackgroundCmd();
// Loads a BMP, PNG or JPEG file as the background picture and draws it at once. Error 3 when
// it cannot be found or read: no picture then, and frames clear to black.
void LoadBackgroundCmd(const Str& name);
