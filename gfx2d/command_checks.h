// What every 2D command checks before it reaches an engine routine: the ids the program passes,
// the numbers it passes as doubles, and the names of the files it asks to read.
#pragma once

#include <cstdint>
#include <string>

#include "core/str.h"

class OpenGLRainbows;

// Sprites 0..65535 (the font bitmaps stay reachable); the last record is the runtime's own.
bool IsSpriteId(int32_t sprite);
// Fonts and off-screen screens 0..31.
bool IsFontId(int32_t font);
bool IsScreenId(int32_t screen);

// The graphics context of the process when there is one and the sprite id is valid.
OpenGLRainbows* ContextForSprite(int32_t sprite);

// A double taken as an id: truncated toward zero, with NaN and values outside the int range
// mapped to -1 so that they fail every id check.
int32_t IdFromDouble(double value);
// A double taken as a size or a rate: truncated toward zero, clamped to the int range, NaN 0.
int32_t CountFromDouble(double value);

// The name resolved through the media search into what a reader opens; the text keeps at most
// 1023 characters, as the reading buffer holds. False when the name is found nowhere.
bool ResolveReadName(const Str& name, std::string& resolved);
