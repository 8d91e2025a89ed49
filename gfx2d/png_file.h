// PNG images through libpng: a reader over disk files and memory files ("mem://") alike, and a
// writer of 8-bit RGBA images. The reader keeps one process-wide state, so one PNG load runs at a
// time, on the main thread. Library errors never end the program: every operation answers false.
#pragma once

#include <cstdint>

#include "gfx2d/rgba_image.h"

// Opens the name, reads the header and sets up the transforms (palette, grey below 8 bits and
// transparency chunks expanded, 16-bit samples stripped to 8, small samples unpacked). Answers
// the decoded layout; the rows follow with PngReadRows. Only 8-bit grey, RGB and RGBA layouts
// are accepted (grey with alpha is refused). Ancillary chunks other than transparency are
// skipped unread.
bool PngLoad(const char* name, int32_t* width, int32_t* height, int32_t* rowBytes,
             int32_t* channels);

// Where the pixels of one decoded row belong: picture row y, columns firstX, firstX + stepX, ...,
// count of them. An interlaced file's passes come with a step above 1.
struct PngRowPlace {
  int32_t y;
  int32_t firstX;
  int32_t stepX;
  int32_t count;
};
using PngRowTaker = bool (*)(void* context, const uint8_t* row, const PngRowPlace& place);

// Reads every row of the picture after a successful PngLoad, pass by pass for an interlaced
// file, into `row` (room for the row bytes), handing each to `take` before the next is read; a
// taker's false ends the reading as a failure.
bool PngReadRows(uint8_t* row, PngRowTaker take, void* context);

// Ends the current load and closes its input; harmless when none is open.
void PngCloseReader();

// Writes RGBA pixels, top row first, as an 8-bit RGBA PNG without interlace, replacing whatever
// had the name. "mem://" names and failed writes answer false.
bool PngSave(const char* name, const uint8_t* pixels, int32_t width, int32_t height);

// A PNG file or memory file into the image. Three-channel pixels of the transparent colour
// (0x00BBGGRR, -1 = none) become 0, 0, 0, 0; RGBA and grey images are never keyed. has-alpha ends
// 1 only for RGBA layouts. A picture wider or taller than largestSide is refused from its header.
// With a part, only that part of the picture is kept. Memory goes to the kept pixels and one row.
bool LoadPngImage(RgbaImage& image, const char* name, int32_t transparent,
                  int32_t largestSide = kAnyImageSide, ImagePart* part = nullptr);
