// What the runtime may call in the tool besides its main program: the routines callable by
// name, the hook run after the file channels close, and three small functions the run never
// calls.
#pragma once

#include "core/user_functions.h"

// "ShowFPS", then "clear_object", then the end row.
extern const UserFunctionEntry ToolUserFunctions[3];

// Registers the table with the runtime and ToolEmptyHook with CloseAllFiles, and makes the
// runtime's commands the tool's screen.
void InstallToolHooks();

// Run by the runtime after it closed all eight file channels; the tool has nothing to add.
void ToolEmptyHook();

// The viewer's frame-rate step: one frame of `frameTime` ms folded into the running average,
// which is shown once more than a second has been summed.
void AdvanceFpsDisplay(double frameTime);
// Leaves 3D mode, runs the frame-rate step on the last frame's time and prints "FPS: " at (0, 0).
void ShowFPS();

// Byte `part` (0 red, 1 green, 2 blue) of a packed 0x00BBGGRR colour; 0 for any other part.
double ToolColorComponent(double colour, double part);
// Both test flags that stay 0 for the whole run: the first answers 0, the second its value.
double ToolDirectionTest(double direction, double a, double b);
double ToolVoxelTest(double value, double x, double y, double z);
