// The runtime's start-up: every process-wide object the rest of the system reaches through a
// global is made here, once, in one fixed order, each step announced in the debug log.
#pragma once

#include <cstdint>
#include <string>

// The compiled project's start-up settings, written by its settings hook before the start-up.
// The screen size is the core's configured size (ConfiguredScreenWidth/Height) and the debug
// switch is DebugFlag; the rest is here.
struct ScreenSettingsRecord {
  int32_t fullscreen = 0;
  int32_t hidePointer = 0;  // 0 leaves the mouse pointer visible
  int32_t frameRate = 0;    // frames per second; 0 or less gives a 2 ms frame period
  int32_t multisample = 0;  // samples, 0 for none
};
extern ScreenSettingsRecord ScreenSettings;

// Makes the debug log, the timer, the graphics context with its window, the network record, the
// 3D scene, the input object, the media-search objects, the fonts and the sound slots, and makes
// the executable's folder current. showCommand 0 leaves the window hidden. When the window or its
// OpenGL context cannot be made, it says why on standard error and ends the process with status 1.
void RuntimeStartup(void* instance, int32_t showCommand, const char* applicationName);

// The folder of the running program, without its trailing '/'.
std::string ExecutableFolder();
