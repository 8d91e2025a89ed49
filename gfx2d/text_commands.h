// The program's font and text commands. Text is printed, measured and sized in the current
// font, which SetFont and LoadFont choose.
#pragma once

#include <cstdint>

#include "core/str.h"

// 0 to 31; 0 at start.
extern int32_t CurrentFont;

void PrintText(const Str& text, double x, double y, int32_t proportional);
int32_t TextWidthCmd(const Str& text, int32_t proportional);

// A number outside 0..31 sets error 7 and keeps the current font.
void SetFont(int32_t font);
// Loads a BMP or PNG font file into font n, which becomes the current font; an empty name
// unloads font n. Error 3, with the built-in character set in the font, when the file cannot
// be found or read. A number outside 0..31 sets error 7 and the file goes into the current font.
void LoadFont(const Str& name, int32_t font);

// The cell size of the current font.
void GetFontSizeF(double* width, double* height);
void GetFontSizeI(int32_t* width, int32_t* height);
int32_t FindFreeFontCmd();
