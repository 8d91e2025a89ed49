// The sprite table of the graphics context: finding, making, loading and freeing sprites. Ids
// outside the table make nothing and free nothing.
#pragma once

#include <cstdint>

#include "frame/graphics_records.h"
#include "gfx2d/rgba_image.h"

class OpenGLRainbows;

// Deletes the sprite's textures and alpha mask and switches texturing off; the record is free.
void FreeSprite(OpenGLRainbows& ctx, int32_t sprite);
// Every sprite and every background picture's tiles.
void FreeAllSprites(OpenGLRainbows& ctx);
// The highest free program sprite id, or -1.
int32_t FindFreeSprite(const OpenGLRainbows& ctx);
void GetSpriteSize(const OpenGLRainbows& ctx, int32_t sprite, int32_t* width, int32_t* height);

// Whether a sprite of that size fits a texture: the driver's limit, and at most 16384 a side.
bool SpriteSizeFits(int32_t width, int32_t height);
// That limit: the larger side a sprite can have.
int32_t LargestSpriteSide();
// The record of a width x height picture in a texture padded as every sprite upload pads it.
void DescribeSpritePicture(SpriteRecord& record, int32_t width, int32_t height);

// Program sprites get a linear texture with a mipmapped copy (and the normal map when asked);
// font sprites a nearest texture alone. The transparent colour is accepted and not used. On
// failure the sprite is left free.
bool CreateSpriteFromImage(OpenGLRainbows& ctx, int32_t sprite, const RgbaImage& image,
                           int32_t transparentColour, bool normalMap);
// Reads a BMP, PNG or JPEG file (tried in that order) into the image; the colour key applies to
// the first two. A picture wider or taller than largestSide, the most the caller can use, is
// refused before its pixels are read. With a part, only that part of the picture is kept.
bool ReadImageFile(RgbaImage& image, const char* fileName, int32_t transparentColour,
                   int32_t largestSide, ImagePart* part = nullptr);
// ReadImageFile into a new image, as every texture upload of a file wants it: an image without
// an alpha channel has its colour-keyed pixels bled. False, with nothing held, when no reader
// takes the file.
bool ReadTextureImage(RgbaImage& image, const char* fileName, int32_t transparentColour,
                      int32_t largestSide, ImagePart* part = nullptr);
// Reads a BMP, PNG or JPEG file (tried in that order) into the sprite.
bool LoadSpriteFile(OpenGLRainbows& ctx, int32_t sprite, const char* fileName,
                    int32_t transparentColour, bool normalMap);
