// Small process-wide services of the language: the command line and application name, the
// standard streams, the box overlap test, the Escape-ends query and the screen-size notification.
// Main thread only.
#pragma once

#include <cstdint>

#include "core/str.h"

// The process-wide strings, made empty on first use and kept for the whole process (exit-time code
// of other subsystems may still read them). The release functions empty them.
Str& GetCommandLineStr();
void SetCommandLineStr(const char* text);
Str CommandLineStrCopy();
Str& GetAppNameStr();
void CommandLineStrRelease();
void AppNameStrRelease();

// Print with "%s": no line end is added.
void StdOut(const Str& text);
void StdErr(const Str& text);
// One line of standard input, at most 4094 characters, without its "\n" (a "\r" stays); empty at
// the end of the input.
Str StdIn();

// 1 when the boxes share at least one column and one row. A width or height of 0 covers the one
// column or row at x or y; a negative one extends to the left or up.
int32_t BoxCollision(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2,
                     int32_t w2, int32_t h2);

int32_t GetEscapeEnds();

// Logs the new size to the error log (through its hook) and makes it the configured and the
// desktop size, and the graphics context's current size while one exists.
void qrn_notify_screen_size(int32_t width, int32_t height);
// Writes the configured size through the pointers that are not null.
void GetScreenSize(int32_t* width, int32_t* height);

// The graphics context sits above the core: the runtime's start-up installs this hook, called with
// the new size, which applies the size only while a context exists. Null removes it.
using ContextSizeHook = void (*)(int32_t width, int32_t height);
void InstallContextSizeHook(ContextSizeHook hook);

void ResetConsoleForTests();
