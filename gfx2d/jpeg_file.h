// JPEG images through libjpeg (v62 API): disk files only (a memory file is not read) and
// writing at quality 80. Library errors and a truncated file answer false; the library's message
// goes to the standard error stream.
#pragma once

#include <cstdint>

#include "gfx2d/rgba_image.h"

// Decodes into a new malloc'd buffer of width x height x channels bytes, rows top first; the
// caller frees it.
// A file wider or taller than largestSide is refused from its header, before decoding.
bool JpegLoad(const char* name, int32_t* width, int32_t* height, int32_t* channels,
              uint8_t** pixels, int32_t largestSide = kAnyImageSide);

// Writes 4-byte pixels stored B, G, R, A (alpha dropped) as a baseline JPEG of quality 80,
// replacing whatever had the name. "mem://" names and failed writes answer false.
bool JpegSave(const char* name, const uint8_t* pixels, int32_t width, int32_t height);

// A JPEG disk file into the image: grey, RGB, and four-channel files copied byte for byte; never
// colour-keyed, has-alpha 1 only for four channels. Other channel counts append a line to the
// debug log. A picture wider or taller than largestSide is refused before it is decoded.
bool LoadJpegImage(RgbaImage& image, const char* name, int32_t largestSide = kAnyImageSide);
