// What the tool hands the runtime before it starts: the start-up settings and the texts that
// platform information answers for "COMPILED", "HOSTID" and "VERSION".
#pragma once

#include <cstdint>

#include "core/str.h"

struct ProjectSettingsValues {
  int32_t screenWidth;
  int32_t screenHeight;
  int32_t fullScreen;
  int32_t debugFlag;
  int32_t hidePointer;
  int32_t multisampleCount;
  int32_t frameRate;            // until the tool sets its own
  const char* applicationName;  // the window title
};

inline constexpr ProjectSettingsValues kToolProjectSettings = {640, 480, 0,  0,
                                                               0,   0,   30, "tile2cubes"};

// Called by the program entry before the runtime starts: writes the settings into the
// runtime's start-up state and installs the tool's table of named routines, its hook and its
// screen.
void ProjectSettings();

// Each returns a new string that the caller releases.
Str ProjectBuildStamp();  // "Mar  1 2013-10:51:29": the date and time of the build
Str ProjectHostId();      // eight lower-case hexadecimal digits
Str ProjectVersion();     // "000.001"
