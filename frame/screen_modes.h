// Windowed and fullscreen placement of the graphics window, and the screen size.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// A non-zero width, height or colour bits replaces the stored one; then the windowed placement
// (fullscreen 0) or a fullscreen window, whose result it answers.
bool SetScreenMode(OpenGLRainbows& ctx, int32_t width, int32_t height, int32_t colourBits,
                   int32_t fullscreen);
// Puts the window back to its windowed placement; always true.
bool ApplyWindowMode(OpenGLRainbows& ctx);
// Fullscreen at the stored size in a new window; false when no such mode or window can be had.
bool RecreateGraphicsWindow(OpenGLRainbows& ctx);
// Steps aside: the desktop's mode back and the window hidden until the next mode change; true.
bool LeaveFullscreen(OpenGLRainbows& ctx);
// Stores the size and resets the viewport to the whole window; the display stays as it is.
void SetScreenSize(OpenGLRainbows& ctx, int32_t width, int32_t height);

// The frame rate a frame period stands for, rounded to the nearest whole rate so that a period
// of 1000 / 30 ms gives 30 again; 5 when the period is not above 0.
int32_t FramesPerSecondOfPeriod(double msPerFrame);
