// The program's sprite commands that make, load, measure and find sprites. Sprite ids are
// 0..65535; a load with another id sets error 7 and frees nothing, a query answers 0.
#pragma once

#include <cstdint>

#include "core/str.h"

// Frees sprite n, then loads the file into it (BMP, PNG or JPEG) keyed by the transparent
// colour; an empty name only frees. Error 3 when the file cannot be found or read.
void LoadSprite(const Str& name, int32_t sprite);
// The same with a normal map made from the picture; an empty name is a missing file.
void LoadNormalMapSpriteCmd(const Str& name, int32_t sprite);

void GetSpriteSizeI(int32_t sprite, int32_t* width, int32_t* height);
void GetSpriteSizeF(double sprite, double* width, double* height);
int32_t GetSpriteTextureId(int32_t sprite);
int32_t FindFreeSpriteCmd();
// The screen rectangle copied into sprite n: 1, or 0 when it could not be made.
int32_t GrabSpriteCmd(int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h);
// The colour that sprite and font loads key out, 0x00BBGGRR (-1: none).
void SetTransparentColourCmd(int32_t colour);
// Writes sprite n as a BMP, PNG or JPEG file by the name's extension; error 3 when it cannot
// (a free sprite, a bad id, a file that cannot be written).
void SaveSpriteCmd(const Str& name, int32_t sprite);
