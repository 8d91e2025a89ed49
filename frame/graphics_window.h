// Bringing the graphics window and its OpenGL context up and down.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Makes the (hidden) window and a current GL context, loads the extension entry points and puts
// GL into the 2D default state. Width, height or colour bits 0 take the window's or desktop's.
// A non-zero sample count asks for multisampling, halving the count until the driver accepts.
// False when no window or context can be made; the window handle is then null.
bool CreateGraphicsWindow(OpenGLRainbows& ctx, void* instance, int32_t width, int32_t height,
                          int32_t colourBits, int32_t framesPerSecond, int32_t samples);

// Frees every sprite and background picture, releases the context from the window and destroys
// the window. The GL context itself stays with the object.
void DestroyGraphicsWindow(OpenGLRainbows& ctx);

// Forgets the once-per-run guards (window procedure registration, software-rendering warning).
void ResetGraphicsWindowGuardsForTests();
