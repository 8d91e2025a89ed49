// Helpers of the GL tests that draw and compare whole regions: a region read back from the
// current target, covered-pixel counts, images of one colour or a pattern, a sprite drawn
// texel for pixel, and texture levels read back.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/graphics_context.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/sprite_batch.h"

namespace gltest {

// RGBA pixels of the target rectangle (origin top-left of the target), top row first. A screen
// drawn through its framebuffer is read there; the copy fall-back draws into the window.
inline std::vector<uint8_t> ReadRegion(const OpenGLRainbows& ctx, int x, int y, int w, int h) {
  const bool onScreen = ctx.currentScreen >= 0 && ctx.currentScreen < kOffscreenScreenCount &&
                        ctx.screens[ctx.currentScreen].framebuffer != 0;
  const int height =
      onScreen ? ctx.sprites[ctx.screens[ctx.currentScreen].sprite].height : ctx.windowHeight;
  std::vector<uint8_t> rows(size_t(w) * h * 4);
  FlushSpriteBatch();
  glReadBuffer(onScreen ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, height - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  std::vector<uint8_t> flipped(rows.size());
  const size_t stride = size_t(w) * 4;
  for (int r = 0; r < h; ++r) {
    std::copy_n(&rows[size_t(h - 1 - r) * stride], stride, &flipped[size_t(r) * stride]);
  }
  return flipped;
}

// Pixels whose colour is not black.
inline int CountLit(const std::vector<uint8_t>& pixels) {
  int lit = 0;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
    if (pixels[i] || pixels[i + 1] || pixels[i + 2]) ++lit;
  }
  return lit;
}

inline void ClearTarget(float r, float g, float b) {
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

// w x h opaque pixels whose colour is a function of the position, so misplaced pixels show.
inline std::string PatternPixels(int w, int h) {
  std::string pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pixels += char(10 + x * 3);
      pixels += char(20 + y * 5);
      pixels += char(200 - (x + y) % 50);
      pixels += char(255);
    }
  }
  return pixels;
}

inline std::string SolidPixels(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  std::string pixels;
  for (int i = 0; i < w * h; ++i) pixels += std::string{char(r), char(g), char(b), char(a)};
  return pixels;
}

// The texels of one level of a texture, bottom row first; its size through size.
inline std::vector<uint8_t> TextureLevel(uint32_t texture, int32_t level, int32_t* size = nullptr) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
  if (size) size[0] = w, size[1] = h;
  std::vector<uint8_t> texels(size_t(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!texels.empty())
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

// The sprite's w x h texels as one textured strip, one texel per pixel, top-left at (x, y).
inline void DrawTexelStrip(OpenGLRainbows& ctx, int32_t sprite, float x, float y, float w,
                           float h) {
  StartPolygon(ctx, sprite, kTriangleStrip);
  AddPolygonVertex(ctx, x, y, 0, 0, kNoVertexColour);
  AddPolygonVertex(ctx, x + w, y, w, 0, kNoVertexColour);
  AddPolygonVertex(ctx, x, y + h, 0, h, kNoVertexColour);
  AddPolygonVertex(ctx, x + w, y + h, w, h, kNoVertexColour);
  EndPolygon(ctx);
}

}  // namespace gltest
