// Turning an RgbaImage into OpenGL textures: the padded, flipped upload with its optional square
// mipmapped copy, and the two pixel passes applied before it (bleeding and normal maps).
#pragma once

#include <cstdint>

#include "frame/graphics_records.h"

// The smallest power of two that is at least max(size, 16).
int32_t PaddedSize(int32_t size);

// Uploads the rectangle (x, y, width, height) of the image; a width or height of 0 means "to the
// image's edge". The texture holds the rectangle flipped (its bottom row at v = 0) at the
// lower-left of a padded, transparent texture. *texture is made when 0, else remade under the
// same name. With mipmappedTexture, a new square mipmapped copy is made there too.
bool UploadImageToTexture(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t* texture, uint32_t* mipmappedTexture,
                          bool normalMap, bool nearest);

// Gives each fully transparent pixel the mean colour of its opaque inner neighbours (black when
// it has none), so that filtering at a colour-keyed edge does not pull in the key colour.
void BleedTransparentPixels(RgbaImage& image);

// Replaces the image by its normal map, the blue byte taken as height; edges wrap around.
void MakeNormalMap(RgbaImage& image);
void MakeNormalMapPixels(uint8_t* pixels, int32_t width, int32_t height);

// The steps of the mipmapped copy, on tightly packed RGBA pixels. HalveToSquare averages pairs
// of columns (or rows) until the picture is square; ReduceMipLevel builds the next level of a
// size x size level (size >= 2) into out, (size / 2) x (size / 2).
void HalveToSquare(uint8_t* pixels, int32_t& width, int32_t& height);
void ReduceMipLevel(const uint8_t* level, int32_t size, uint8_t* out);
