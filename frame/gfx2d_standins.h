// Stand-ins for the 2D layer's services until the 2D layer installs its own (see
// frame/gfx2d_services.h). Each group lives in the file named for what it stands in for.
#pragma once

#include "frame/gfx2d_services.h"

// frame/sprite_store_standin.cpp
void StandInBindSpriteTextures(OpenGLRainbows& ctx, int32_t spriteA, int32_t spriteB,
                               int32_t useMipmapped, const uint32_t* textureTable);
bool StandInUploadImageToTexture(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                                 int32_t height, uint32_t* texture, uint32_t* mipmappedTexture,
                                 bool normalMap, bool nearest);
void StandInFreeSprite(OpenGLRainbows& ctx, int32_t sprite);

// frame/offscreen_screens_standin.cpp
void StandInEndOffscreenScreen(OpenGLRainbows& ctx);
void StandInDeleteFramebuffer(OffscreenScreen& screen);
void StandInLoadFramebufferExtensions();

// frame/font_image_standin.cpp
void StandInBuildDefaultFontImage(RgbaImage& image);
void StandInReleaseImage(RgbaImage& image);
