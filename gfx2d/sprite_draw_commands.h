// The program's commands that put sprites and their animation frames on the screen and test
// them for collision. A sprite id outside 0..65535 draws nothing and never collides.
#pragma once

#include <cstdint>

#include "core/str.h"

// Frames of fw x fh pixels, left to right then top to bottom; only for a sprite with pixels.
void SetSpriteAnimSizeCmd(int32_t sprite, int32_t frameWidth, int32_t frameHeight);
// LoadSprite, then the frame size when the sprite has pixels.
void LoadAnimCmd(const Str& name, int32_t sprite, int32_t frameWidth, int32_t frameHeight);

void DrawAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y);
void RotoZoomAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y, double angle,
                          double zoom);
void StretchAnimFrameCmd(int32_t sprite, int32_t frame, int32_t x, int32_t y, int32_t w, int32_t h);

void DrawSpriteCmd(int32_t sprite, int32_t x, int32_t y);
void StretchSpriteCmd(int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h);
void RotateSpriteCmd(int32_t sprite, int32_t x, int32_t y, double angle);
void RotoZoomSpriteCmd(int32_t sprite, int32_t x, int32_t y, double angle, double zoom);
// Stretched by sx, sy about its centre.
void ZoomSpriteCmd(int32_t sprite, int32_t x, int32_t y, double sx, double sy);

// 1 when an opaque pixel of each covers the same screen pixel.
int32_t SpriteCollisionCmd(int32_t a, int32_t ax, int32_t ay, int32_t b, int32_t bx, int32_t by);
int32_t AnimCollisionCmd(int32_t a, int32_t frameA, int32_t ax, int32_t ay, int32_t b,
                         int32_t frameB, int32_t bx, int32_t by);
