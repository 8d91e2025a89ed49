// Putting a sprite, or one animation frame of it, on the screen: at its size, stretched, and
// rotated and zoomed about its centre; plus the settings these read. Colour and alpha come from
// the current GL colour. Sprite ids are the caller's to check.
#pragma once

#include <cstdint>

class OpenGLRainbows;
struct SpriteRecord;

// The texture rectangle of animation frame f: u from u0 to u1, v from vb (its bottom) to vt.
struct FrameTexCoords {
  float uStep, u0, u1, vb, vt;
};
// Frames lie left to right, then top to bottom; nothing clamps f to the frames there are.
FrameTexCoords AnimFrameTexCoords(const SpriteRecord& record, int32_t frame);

void DrawSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y);
void StretchSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t width,
                   int32_t height);
// Turns (degrees, clockwise on the screen) and zooms about the centre of the unzoomed rectangle.
void RotoZoomSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, float angle,
                    float zoom);

void SetSpriteAnimSize(OpenGLRainbows& ctx, int32_t sprite, uint16_t frameWidth,
                       uint16_t frameHeight);
// The frame forms draw nothing while the sprite's frame size is 0.
void DrawAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y);
void StretchAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y,
                      int32_t width, int32_t height);
void RotoZoomAnimFrame(OpenGLRainbows& ctx, int32_t sprite, int32_t frame, int32_t x, int32_t y,
                       float angle, float zoom);

// The colour image loads key out, for sprites and fonts alike.
void SetTransparentColour(OpenGLRainbows& ctx, uint32_t colour);
// x, y, width, height of the current viewport, valid until the next call.
const int32_t* GetViewportRect(const OpenGLRainbows& ctx);
