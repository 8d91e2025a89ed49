// One-pixel reads, the transparent-colour probe and screen grabs into sprites.
#include "gfx2d/screen_reads.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "frame/screen_orientation.h"
#include "gfx2d/primitives.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"
#include "platform/window.h"

namespace {

// Where reads come from, and the height that turns a top-down row into a framebuffer row.
struct ReadTarget {
  ScreenReadSource source;
  int32_t readHeight;
};

// An off-screen screen drawn through a framebuffer object; the fallback without one draws into
// the window, so reads then come from the window too.
const OffscreenScreen* ScreenInUse(const OpenGLRainbows& ctx) {
  if (ctx.currentScreen < 0 || ctx.currentScreen >= kOffscreenScreenCount) return nullptr;
  const OffscreenScreen& screen = ctx.screens[ctx.currentScreen];
  if (screen.framebuffer == 0 || screen.sprite < 0 || screen.sprite >= kSpriteCount) return nullptr;
  return &screen;
}

ReadTarget CurrentReadTarget(const OpenGLRainbows& ctx) {
  const uint32_t format = ctx.bgraSupported ? GL_BGRA : GL_RGBA;
  if (const OffscreenScreen* screen = ScreenInUse(ctx)) {
    const SpriteRecord& record = ctx.sprites[screen->sprite];
    return {{ctx.glContext, ctx.currentScreen, GL_COLOR_ATTACHMENT0_EXT, format, record.paddedWidth,
             record.paddedHeight},
            record.height};
  }
  return {{ctx.glContext, -1, GL_BACK, format, ctx.windowWidth, ctx.windowHeight},
          ctx.windowHeight};
}

uint32_t ColourFromBytes(const uint8_t* bytes, uint32_t format) {
  const bool bgra = format == GL_BGRA;
  return uint32_t(bytes[bgra ? 2 : 0]) | uint32_t(bytes[1]) << 8 |
         uint32_t(bytes[bgra ? 0 : 2]) << 16;
}

bool InsideTarget(const ScreenReadSource& source, int64_t column, int64_t row) {
  return column >= 0 && column < source.width && row >= 0 && row < source.height;
}

// The probe's points must land even though the transparent colour draws with alpha 0, which the
// alpha test or blending would otherwise throw away.
class PlainWrites {
 public:
  PlainWrites() : alphaTest_(glIsEnabled(GL_ALPHA_TEST)), blend_(glIsEnabled(GL_BLEND)) {
    CachedSetEnabled(kCapAlphaTest, false);
    CachedSetEnabled(kCapBlend, false);
  }
  ~PlainWrites() {
    CachedSetEnabled(kCapAlphaTest, alphaTest_);
    CachedSetEnabled(kCapBlend, blend_);
  }
  PlainWrites(const PlainWrites&) = delete;
  PlainWrites& operator=(const PlainWrites&) = delete;

 private:
  bool alphaTest_;
  bool blend_;
};

// Read once per window: a new window may come with another pixel format.
int32_t FramebufferAlphaBits(const OpenGLRainbows& ctx) {
  static uint32_t readForWindow = 0;
  static int32_t bits = -1;
  const uint32_t window = platform::WindowId(ctx.window);
  if (bits < 0 || readForWindow != window) {
    bits = platform::AlphaBits();
    readForWindow = window;
  }
  return bits;
}

void DeleteTexture(uint32_t& texture) {
  if (texture) glDeleteTextures(1, &texture);
  texture = 0;
}

void SetTightUnpackState() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

// Binds the sprite's texture, made anew when its padded size changes.
void BindGrabTexture(SpriteRecord& record, int32_t paddedW, int32_t paddedH, uint32_t format) {
  if (record.texture && record.paddedWidth == paddedW && record.paddedHeight == paddedH) {
    glBindTexture(GL_TEXTURE_2D, record.texture);
    return;
  }
  DeleteTexture(record.texture);
  DeleteTexture(record.mipmappedTexture);
  SetTightUnpackState();
  glGenTextures(1, &record.texture);
  glBindTexture(GL_TEXTURE_2D, record.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, paddedW, paddedH, 0, format, GL_UNSIGNED_BYTE, nullptr);
}

// A window rectangle, top-down rows, corners included. Held in 64 bits: the window image of a
// logical rectangle near the int limits reaches past them.
struct WindowBox {
  int64_t left, top, right, bottom;

  bool Empty() const { return left > right || top > bottom; }
};

WindowBox LogicalRectOnWindow(const OpenGLRainbows& ctx, int32_t x, int32_t y, int32_t w,
                              int32_t h) {
  int64_t ax, ay, bx, by;
  LogicalToScreen(ctx, int64_t(x), int64_t(y), &ax, &ay);
  LogicalToScreen(ctx, int64_t(x) + w - 1, int64_t(y) + h - 1, &bx, &by);
  return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

// The part of the box the read target holds, as ReadPixel sees it.
WindowBox ClipToTarget(const WindowBox& box, const ReadTarget& target) {
  const int64_t firstRow = int64_t(target.readHeight) - target.source.height;
  return {std::max<int64_t>(box.left, 0), std::max(box.top, firstRow),
          std::min<int64_t>(box.right, int64_t(target.source.width) - 1),
          std::min<int64_t>(box.bottom, int64_t(target.readHeight) - 1)};
}

// The grab's pixel buffers, kept for the next grab.
struct GrabBuffers {
  std::vector<uint8_t> window;   // the part of the rectangle the target holds, bottom row first
  std::vector<uint8_t> upright;  // the logical rectangle, bottom row first
};

GrabBuffers& Buffers() {
  static GrabBuffers buffers;
  return buffers;
}

// The logical rectangle upright, bottom row first. Only the part the target holds is read, so
// every size is formed from clipped coordinates; the rest reads black.
std::vector<uint8_t>& ReadUprightPixels(const OpenGLRainbows& ctx, const ReadTarget& target,
                                        int32_t x, int32_t y, int32_t w, int32_t h) {
  FlushSpriteBatch();
  GrabBuffers& buffers = Buffers();
  buffers.upright.assign(size_t(w) * size_t(h) * 4, 0);
  const WindowBox box = ClipToTarget(LogicalRectOnWindow(ctx, x, y, w, h), target);
  if (box.Empty()) return buffers.upright;
  const auto columns = int32_t(box.right - box.left + 1);
  const auto rows = int32_t(box.bottom - box.top + 1);
  buffers.window.resize(size_t(columns) * size_t(rows) * 4);
  SetTightPackState();
  glReadBuffer(target.source.readBuffer);
  glReadPixels(int32_t(box.left), int32_t(target.readHeight - 1 - box.bottom), columns, rows,
               target.source.format, GL_UNSIGNED_BYTE, buffers.window.data());
  // A step right on the window is a fixed step through the upright pixels.
  int32_t dx, dy;
  ScreenDeltaToLogical(ctx, 1, 0, &dx, &dy);
  const int64_t step = int64_t(dx) - int64_t(dy) * w;
  for (int32_t row = 0; row < rows; ++row) {
    int32_t lx, ly;
    ScreenToLogical(ctx, int32_t(box.left), int32_t(box.bottom - row), &lx, &ly);
    int64_t at = (int64_t(y) + h - 1 - ly) * w + (int64_t(lx) - x);
    const uint8_t* from = &buffers.window[size_t(row) * size_t(columns) * 4];
    if (step == 1) {  // not turned: the window row is an upright row
      std::memcpy(&buffers.upright[size_t(at) * 4], from, size_t(columns) * 4);
      continue;
    }
    for (int32_t column = 0; column < columns; ++column, at += step)
      std::memcpy(&buffers.upright[size_t(at) * 4], from + size_t(column) * 4, 4);
  }
  return buffers.upright;
}

void ClearKeyedAlpha(std::vector<uint8_t>& pixels, uint32_t storedKey, uint32_t format) {
  for (size_t at = 0; at + 4 <= pixels.size(); at += 4) {
    if (ColourFromBytes(&pixels[at], format) == storedKey) pixels[at + 3] = 0;
  }
}

}  // namespace

uint32_t ReadPixel(OpenGLRainbows& ctx, int32_t x, int32_t y) {
  int32_t column, top;
  LogicalToScreen(ctx, x, y, &column, &top);
  const ReadTarget target = CurrentReadTarget(ctx);
  const int64_t row = int64_t(target.readHeight) - top - 1;
  if (!InsideTarget(target.source, column, row)) return 0;
  uint8_t bytes[4];
  ReadScreenBytes(target.source, column, int32_t(row), bytes);
  return ColourFromBytes(bytes, target.source.format);
}

uint32_t ProbeColourPrecision(OpenGLRainbows& ctx) {
  const uint32_t key = ctx.transparentColour;
  if (key == 0) return 0;
  const uint32_t kept = ReadPixel(ctx, 4, 4);
  PlainWrites plain;
  DrawPoint(ctx, 4, 4, key);
  const uint32_t stored = ReadPixel(ctx, 4, 4);
  DrawPoint(ctx, 4, 4, kept);
  return __builtin_bswap32(stored);
}

bool GrabSprite(OpenGLRainbows& ctx, int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h) {
  FlushSpriteBatch();
  if (sprite < 0 || sprite >= kSpriteCount) return false;
  SpriteRecord& record = ctx.sprites[sprite];
  record.frameWidth = record.frameHeight = 0;
  std::free(ctx.alphaMasks[sprite]);
  ctx.alphaMasks[sprite] = nullptr;
  if (w <= 0 || h <= 0 || !SpriteSizeFits(w, h)) {
    FreeSprite(ctx, sprite);
    return w <= 0 || h <= 0;
  }
  const ReadTarget target = CurrentReadTarget(ctx);
  const uint32_t format = target.source.format;
  // The sprite's texture may be what the reads come from.
  InvalidateScreenReads();
  BindGrabTexture(record, PaddedSize(w), PaddedSize(h), format);
  DescribeSpritePicture(record, w, h);
  // Read back rather than copied within GL: a grab holds what the screen shows, and whatever
  // blending and clears left in the framebuffer's alpha is not shown.
  std::vector<uint8_t>& pixels = ReadUprightPixels(ctx, target, x, y, w, h);
  MakeOpaque(pixels.data(), pixels.size());
  if (FramebufferAlphaBits(ctx) == 0 && ctx.transparentColour != uint32_t(kNoTransparentColour))
    ClearKeyedAlpha(pixels, __builtin_bswap32(ProbeColourPrecision(ctx)), format);
  glBindTexture(GL_TEXTURE_2D, record.texture);
  SetTightUnpackState();
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, format, GL_UNSIGNED_BYTE, pixels.data());
  return true;
}
