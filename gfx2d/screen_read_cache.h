// Pixel reads are served from block reads of the screen until something changes what the blocks
// hold. Every 2D draw, clear, background-picture draw, screen switch and present calls
// InvalidateScreenReads(), as must every other path that writes or switches the framebuffer.
#pragma once

#include <cstdint>

void InvalidateScreenReads();

// What a read comes from: the context, the target (-1 = the window, else an off-screen screen)
// and its read buffer, the pixel format, and the target's size in framebuffer pixels. Blocks
// read from another source never answer.
struct ScreenReadSource {
  const void* context;
  int32_t screen;
  uint32_t readBuffer;  // GL_BACK or the screen's colour attachment
  uint32_t format;      // GL_RGBA or GL_BGRA
  int32_t width;
  int32_t height;
};

// The four bytes of framebuffer pixel (column, row), row 0 at the bottom, in the source's format.
// The pixel must lie inside the source's size. The first read after an invalidation reads that
// pixel alone; a later miss reads the aligned block around it, so neighbouring reads cost no GL
// call.
void ReadScreenBytes(const ScreenReadSource& source, int32_t column, int32_t row, uint8_t* out);

// Tight rows of four-byte pixels whatever an earlier read left in the pack state.
void SetTightPackState();
