// Quarter-turn screen orientation (0 to 3) between the program's logical coordinates and the
// window's, the viewport with its 2D projection, and the clear colour. Any orientation outside
// 0..3 acts as 0.
#pragma once

#include <cstdint>

class OpenGLRainbows;

void ScreenToLogical(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t* lx, int32_t* ly);
void LogicalToScreen(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t* wx, int32_t* wy);
// The same in 64 bits, for points past the int range such as a far corner of a rectangle near
// the int limits; the int form saturates what this one answers.
void LogicalToScreen(const OpenGLRainbows& ctx, int64_t x, int64_t y, int64_t* wx, int64_t* wy);
// A movement turned like LogicalToScreen turns a point, without the mirror offsets.
void RotateDelta(const OpenGLRainbows& ctx, int32_t dx, int32_t dy, int32_t* rx, int32_t* ry);
// The inverse of RotateDelta: a window movement turned into a logical one.
void ScreenDeltaToLogical(const OpenGLRainbows& ctx, int32_t dx, int32_t dy, int32_t* lx,
                          int32_t* ly);
// Sizes may come out negative: the rectangle's corner is mapped, its extent only turned.
void LogicalRectToScreen(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h,
                         int32_t* sx, int32_t* sy, int32_t* sw, int32_t* sh);

// GL_PROJECTION mode with the quarter turn of the screen orientation loaded.
void LoadOrientationProjection(const OpenGLRainbows& ctx);
// The glViewport rectangle (x, y from the bottom, w, h) of a logical window rectangle.
void WindowViewportRect(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h,
                        int32_t rect[4]);

// Viewport and 2D projection (origin top-left, y down) for the current target; w < 1 or h < 1
// means the whole target. Leaves the matrix mode at GL_MODELVIEW with an identity modelview.
void SetViewport(OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w, int32_t h);

// colour 0x00BBGGRR: clear to it now and at every frame; -1 stops clearing each frame.
void ClearScreenColour(OpenGLRainbows& ctx, int32_t colour);
