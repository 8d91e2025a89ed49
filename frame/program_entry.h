// The program's entry into the runtime: a compiled program's main() hands its hooks to RunProgram,
// which starts the runtime, runs the program and ends the process.
#pragma once

#include <cstdint>
#include <string>

#include "core/user_functions.h"
#include "frame/platform_info.h"

// Installs one layer that sits above or beside the frame (2D, 3D, network) into the frame's hooks.
// The frame cannot name those layers, so the program lists the ones it runs on; the hooks the
// layers below the frame call (the debug-log writer, the context size) the start-up installs
// itself.
using LayerInstaller = void (*)();

struct ProgramHooks {
  // Fills the screen settings (ConfiguredScreenWidth/Height, ScreenSettings, DebugFlag) and the
  // application name (GetAppNameStr) before the runtime starts.
  void (*projectSettings)();
  // The program's main routine; ending it with END never comes back.
  int32_t (*mainRoutine)();
  // The program's routines by name, ended by a row with a null function; null for none.
  const UserFunctionEntry* userFunctions;
  // The layers the program runs on, installed before its settings, ended by a null entry. The
  // 2D layer must be among them; the 3D and network layers may be left out.
  const LayerInstaller* layers = nullptr;
  // The build texts that platform information answers; a missing one answers "NO_DATA".
  ProjectTexts projectTexts = {};
};

// Keeps the command line, loads the input script QRN_INPUT_SCRIPT names (one that cannot be
// loaded ends the process with status 1), installs the layers and the build texts (a list
// without the 2D layer ends the process with a message and status 1), applies the
// settings, starts the runtime, runs the main routine and then the "QRN_ON_LOOP" routine when the
// program has one, and ends through the terminate path with status 0. Returns only if the process
// is already ending.
int32_t RunProgram(int argc, char** argv, const ProgramHooks& program);

// The start-up for a host that runs the runtime without a main routine: the layers, the build
// texts, the settings, the start-up with the window shown, the error code cleared; 1. A list
// without the 2D layer, or a window that cannot be made, ends the process with status 1, as for
// RunProgram.
int32_t RuntimeInitNoMain(const ProgramHooks& program);

// The arguments as one command line: separated by blanks, an empty argument or one holding a
// blank or a tab in double quotes.
std::string JoinCommandLine(int argc, char** argv);
