// Small services of the application frame for the program's commands: the caption, the source
// position, the main window, the console, the Escape-ends switch and the debugger breakpoint.
#pragma once

#include <cstdint>

#include "core/str.h"

class OpenGLRainbows;

// Set by the start-up from the project settings: focus changes then leave the caption and the
// pause alone, and the end of the run reports its source position.
extern int32_t DebugFlag;
// The main window's id (platform::WindowId), 0 while there is none.
extern uint32_t MainWindowHandle;

// The window caption, empty until the start-up sets it; its release is registered for exit.
Str& GetCaptionText();
void CaptionTextRelease();
void SetSourcePosition(int32_t positionWord, int32_t lineWord);
uint32_t GetMainWindow();
// Hands the window the context now draws into to everything that holds the main window: the
// main-window id, the input object, the event intake and the sound device. Whatever makes a new
// main window calls it before the old one goes.
void AdoptMainWindow(OpenGLRainbows& ctx);
// The standard streams are already the console's.
void OpenConsole();
// Not 0 (NaN included) lets Escape end the program.
void SetEscapeEnds(double value);
// With a debugger attached: "BP" and the number in hex to the debugger, the mouse let go, the
// pause lifted and the window brought back at the next frame. Without one nothing happens.
void DebugBreakpoint(int32_t number);

void ResetFrameServicesForTests();
