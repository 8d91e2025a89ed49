// The program's commands on the screen as a whole: its size, the viewport and the orientation,
// off-screen screens, saving the screen, the frame rate, the frame timer and sleeping.
#pragma once

#include <cstdint>

#include "core/str.h"

// The off-screen screen in use (its sprite's size), else the window as the orientation turns it.
void GetActiveScreenSizeI(int32_t* width, int32_t* height);
void GetActiveScreenSizeF(double* width, double* height);
int32_t GetOrientationCmd();
void GetDesktopSizeCmd(int32_t* width, int32_t* height);

// Both leave the 3D shadow pass first. A width or height below 1 means the whole target.
void SetViewportCmd(int32_t x, int32_t y, int32_t w, int32_t h);
// Orientation n clamped to 0..3, then the whole target as the viewport.
void SetOrientationCmd(int32_t orientation);
void GetViewportI(int32_t* x, int32_t* y, int32_t* w, int32_t* h);
void GetViewportF(double* x, double* y, double* w, double* h);

// Screen n (0..31) drawing into sprite s of w x h pixels: 1, or 0 (error code untouched).
int32_t CreateScreenCmd(int32_t screen, int32_t sprite, int32_t w, int32_t h);
// A negative n, or any that is not a made screen, gives the window back as the target.
void UseScreenCmd(int32_t screen);
// The window as a BMP, PNG or JPEG file by the name's extension; error 3 when it cannot.
void SaveScreenCmd(const Str& name);

// fps of 0 or less gives a frame period of 2 ms; vsync switches waiting for the display.
void SetFrameRateCmd(double fps, int32_t vsync);
int32_t IsFullscreenCmd();
// Milliseconds between the starts of this frame and the previous one; 1 when not above 0.
double GetTimer();
// A negative time sleeps 0.
void SleepMs(int32_t ms);
