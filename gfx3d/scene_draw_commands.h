// The program's commands that draw into the 3D scene: objects, billboards, debug lines, dots and
// axes, and text at 3D points. Colours are 0x00BBGGRR. Objects outside 0 .. 4095 draw nothing.
#pragma once

#include <cstdint>

#include "core/str.h"

// The object at blend position t between frames a and b, with the 3D textures bound again.
void DrawObjectTween(int32_t object, int32_t frameA, int32_t frameB, double t, int32_t animate);
void DrawObject3D(int32_t object, int32_t frame);
// The sprite facing the camera, drawn unculled; a negative or unknown sprite draws nothing.
void DrawBillboard3D(int32_t sprite, double x, double y, double z, double size);
// Widths and sizes are held to 1 .. 512.
void DrawLine3DCmd(double x1, double y1, double z1, double x2, double y2, double z2, double width,
                   int32_t colour);
void DrawDot3DCmd(double x, double y, double z, double size, int32_t colour);
void DrawAxes3D(double x, double y, double z);
// In the current font: scale 0 labels the point on the screen, any other scale draws the glyphs
// in the scene.
void PrintText3DCmd(const Str& text, double x, double y, double z, double scale,
                    int32_t proportional);
