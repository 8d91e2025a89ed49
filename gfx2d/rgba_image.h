// The buffer rules of the one in-memory picture of the runtime (RgbaImage, laid out by the frame,
// which hands one to this layer for the built-in font): every image reader fills one, every
// writer takes one. Its pixel buffer comes from the malloc family, so any layer may release it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/graphics_records.h"

// No colour key: every pixel keeps its colour.
inline constexpr int32_t kNoTransparentColour = -1;

// The largest width or height a caller can use, handed to the image readers, which refuse a
// file that declares more from its header, before reading any pixel. kAnyImageSide leaves only
// the record's own limit.
inline constexpr int32_t kAnyImageSide = INT32_MAX;

// What a reader keeps of a picture: the whole file is still checked (every row of a compressed
// format decoded), so a damaged file fails however little is kept, but only the top-left
// keepWidth x keepHeight pixels are stored, and the image is left 0 x 0 when either is 0. The
// reader notes the picture's own size.
struct ImagePart {
  int32_t keepWidth = INT32_MAX;
  int32_t keepHeight = INT32_MAX;
  int32_t pictureWidth = 0;
  int32_t pictureHeight = 0;
};

// The largest image a reader accepts: its pixel bytes must fit the record's i32 capacity, and
// neither side may pass largestSide.
bool ImageSizeFits(int64_t width, int64_t height, int32_t largestSide = kAnyImageSide);

// width x height zeroed pixels. The buffer grows when it is too small (has-alpha then becomes 1)
// and never shrinks. False when the size does not fit or memory runs out; the image then has no
// buffer and a size of 0 x 0.
bool ResizeImage(RgbaImage& image, int32_t width, int32_t height);

// ResizeImage without the zeroing, for a reader that writes every pixel next: on a failed read
// the pixels hold whatever the buffer held.
bool ResizeImageForOverwrite(RgbaImage& image, int32_t width, int32_t height);

// Sizes the image for the part of a width x height picture that is kept (all of it without a
// part) and notes the picture's size in the part; false when memory runs out.
bool ResizeImageForPart(RgbaImage& image, int32_t width, int32_t height, ImagePart* part);

// Frees the pixels; the image is new again.
void ReleaseImage(RgbaImage& image);

// Each pixel becomes a 2 x 2 block. False (image unchanged) when the doubled size does not fit.
bool DoubleImageSize(RgbaImage& image);

// Alpha 255 for every pixel of `bytes` bytes of tightly packed 4-byte pixels.
inline void MakeOpaque(uint8_t* pixels, size_t bytes) {
  for (size_t alpha = 3; alpha < bytes; alpha += 4) pixels[alpha] = 255;
}

// R + (G << 8) + (B << 16), the form a transparent colour is given in.
inline int32_t PackedColour(uint8_t r, uint8_t g, uint8_t b) {
  return r | g << 8 | b << 16;
}

// Writes one pixel: alpha 255, or 0, 0, 0, 0 when its colour is the transparent colour.
inline void StoreKeyedPixel(uint8_t* out, uint8_t r, uint8_t g, uint8_t b, int32_t transparent) {
  const bool keyed = transparent != kNoTransparentColour && PackedColour(r, g, b) == transparent;
  out[0] = keyed ? 0 : r;
  out[1] = keyed ? 0 : g;
  out[2] = keyed ? 0 : b;
  out[3] = keyed ? 0 : 255;
}
