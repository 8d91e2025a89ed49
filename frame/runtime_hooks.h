// What the start-up and the quit sequence ask of the layers that sit above or beside the frame:
// the 3D scene, the network record, and the fonts and clear colour of the 2D layer. Each layer
// installs its functions here (copy the table, set its own fields, install it back) when the
// program's entry lists it (frame/program_entry.h); the fields of a layer the program does not list
// keep the answers of frame/runtime_hooks_absent_layers.cpp.
#pragma once

#include <cstdint>

class OpenGLRainbows;
class Rainbows3D;

struct StartupHooks {
  // Makes the one 3D scene linked with the context both ways; null when there is no 3D layer.
  Rainbows3D* (*makeScene)(OpenGLRainbows& ctx);
  // Makes the network record with its mutex.
  void (*makeNetworkState)();
  // Clear colour 0x00BBGGRR, clearing each frame, background picture 0 dropped.
  void (*clearScreen)(int32_t colour);
  // Loads a font bitmap (a resolved name) into font n; false leaves it the built-in set.
  bool (*loadFont)(const char* path, int32_t font);
  // Makes font n the current font.
  void (*selectFont)(int32_t font);
};

struct ShutdownHooks {
  // Says goodbye for the local players, ends the network thread, frees the network record and
  // drops every start reference the socket layer still holds.
  void (*releaseNetwork)();
  // Deletes the scene with its GL objects; the context is still current.
  void (*deleteScene)(Rainbows3D* scene);
};

const StartupHooks& GetStartupHooks();
void SetStartupHooks(const StartupHooks& hooks);
StartupHooks AbsentLayerStartupHooks();

const ShutdownHooks& GetShutdownHooks();
void SetShutdownHooks(const ShutdownHooks& hooks);
ShutdownHooks AbsentLayerShutdownHooks();

// How a layer installs its steps: the change sets its own fields of both tables, the others stay.
void ChangeRuntimeHooks(void (*change)(StartupHooks& startup, ShutdownHooks& shutdown));
