// The program's drawing commands: blend mode, sprite filtering and alpha test, points, lines,
// rectangles, the polygon batch and pixel reads. Colours are 0x00BBGGRR. Without a graphics
// context they do nothing and answer 0.
#pragma once

#include <cstdint>

void SetBlendMode(double a);
void SetSpriteSmoothingCmd(int32_t flag);
void SetAlphaTestCmd(double reference);

void DrawLineCmd(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
void DrawPointCmd(int32_t x, int32_t y, int32_t colour);
void DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour);
int32_t GetPixel(int32_t x, int32_t y);

// A negative sprite draws untextured; a sprite above 65535 gives a batch that draws nothing.
void PolyStart(int32_t sprite, int32_t mode);
void PolyVector(double x, double y, double tx, double ty, int32_t colour);
void PolyNewStrip();
void PolyEnd();
