// JPEG images through libjpeg (v62 API): disk files only (a memory file is not read) and
// writing at quality 80. Library errors and a truncated file answer false; the library's message
// goes to the standard error stream.
#pragma once

#include <cstdint>

#include "gfx2d/rgba_image.h"

// Writes 4-byte pixels stored B, G, R, A (alpha dropped) as a baseline JPEG of quality 80,
// replacing whatever had the name. "mem://" names and failed writes answer false.
bool JpegSave(const char* name, const uint8_t* pixels, int32_t width, int32_t height);

// A JPEG disk file into the image: grey, RGB, and four-channel files copied byte for byte; never
// colour-keyed, has-alpha 1 only for four channels. Other channel counts append a line to the
// debug log. A picture wider or taller than largestSide is refused before it is decoded. With a
// part, only that part of the picture is kept. Data that end before the picture does fail, and
// the library's memory is held in proportion to the file's size, so a small file never costs
// much however large a picture it declares.
bool LoadJpegImage(RgbaImage& image, const char* name, int32_t largestSide = kAnyImageSide,
                   ImagePart* part = nullptr);
