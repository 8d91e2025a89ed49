// The runtime's own BMP reader and writer (no library): uncompressed 1-, 4-, 8-, 16-, 24- and
// 32-bit files with the 12- or 40-byte info header; written as 24-bit bottom-up files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx2d/rgba_image.h"

// Reads a BMP disk file or memory file ("mem://") into the image; has-alpha ends 0. Pixels of
// the transparent colour (0x00BBGGRR, -1 = none) become 0, 0, 0, 0. A short, damaged or
// unsupported file, or a picture wider or taller than largestSide, answers false and leaves the
// image with whatever size its last resize gave. Only the header is read before it is checked.
// With a part, only that part of the picture is read and kept.
bool LoadBmpImage(RgbaImage& image, const char* name, int32_t transparent,
                  int32_t largestSide = kAnyImageSide, ImagePart* part = nullptr);

// The same over the bytes of a whole file.
bool DecodeBmpImage(const uint8_t* bytes, size_t size, RgbaImage& image, int32_t transparent,
                    int32_t largestSide = kAnyImageSide, ImagePart* part = nullptr);

// The whole file the writer writes for the image, 24 bits a pixel, bottom row first: a pixel
// that is not opaque is stored as the colour 0x8000FF. Empty for a record whose size
// and pixels disagree.
std::vector<uint8_t> EncodeBmpImage(const RgbaImage& image);

// Writes the image as a 24-bit BMP, replacing whatever had the name. "mem://" names, a file that
// cannot be made and a failed write answer false.
bool SaveBmpImage(const char* name, const RgbaImage& image);
