// Windowed and fullscreen placement of the graphics window.
#pragma once

class OpenGLRainbows;

// Puts the window back to its windowed placement; always true.
bool ApplyWindowMode(OpenGLRainbows& ctx);
