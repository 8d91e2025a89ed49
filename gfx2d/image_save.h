// Writing an image in the format its file name asks for.
#pragma once

#include "gfx2d/rgba_image.h"

// ".png" (any case) writes a PNG; ".jpg" (any case) exchanges R and B of the image in place and
// writes a JPEG; every other name, ".jpeg" included, a BMP. False when the writer fails.
bool SaveImage(const char* name, RgbaImage& image);
