// Changing the background picture with a cross-fade: the program's command blends from what the
// screen shows now to a picture file over a number of milliseconds, one frame at a time, and
// leaves the picture as background picture 0.
#pragma once

#include <cstdint>

#include "core/str.h"

// What the fade asks of the 2D drawing and the frame cycle, on the process's graphics context.
// The defaults call the real functions; a test installs a recorder.
struct BackgroundFadeServices {
  void (*grabBackground)(int32_t slot);
  void (*loadBackgroundPicture)(int32_t slot, const char* fileName);
  void (*freeBackgroundTiles)(int32_t slot);
  void (*drawBackgroundPicture)(int32_t slot);
  void (*setBlendMode)(double a);
  void (*clearScreenColour)(int32_t colour);
  void (*showScreen)(int32_t show);
};
void InstallBackgroundFadeServices(const BackgroundFadeServices& services);
BackgroundFadeServices DefaultBackgroundFadeServices();

// Error code 0 when the file was found, 3 when not (background 0 dropped, clear colour black,
// nothing drawn). The first fade frame always uses a = 0.9; a duration of 0 or less gives that
// one frame only.
void LoadBackgroundWithFade(const Str& fileName, int32_t durationMs);
