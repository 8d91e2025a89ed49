// Windowed and fullscreen placement of the graphics window.
#pragma once

class OpenGLRainbows;

// Puts the window back to its windowed placement; always true.
bool ApplyWindowMode(OpenGLRainbows& ctx);
// Fullscreen at the stored size in a new window; false when no such mode or window can be had.
bool RecreateGraphicsWindow(OpenGLRainbows& ctx);
// Steps aside: the desktop's mode back and the window hidden until the next mode change; true.
bool LeaveFullscreen(OpenGLRainbows& ctx);
