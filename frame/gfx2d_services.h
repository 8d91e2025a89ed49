// The services the frame asks of the 2D layer, which sits above it: sprites and textures,
// off-screen screens, the built-in font image, the screen-read cache, background pictures and
// text. The 2D layer installs its functions here when the program's entry lists it
// (gfx2d/gfx2d_layer.h).
#pragma once

#include <cstdint>

#include "core/str.h"
#include "frame/graphics_records.h"

class OpenGLRainbows;

struct Gfx2dServices {
  // Sprite a on texture unit 0 and b on unit 1; -1 switches texturing off on that unit.
  void (*bindSpriteTextures)(OpenGLRainbows& ctx, int32_t spriteA, int32_t spriteB,
                             int32_t useMipmapped, const uint32_t* textureTable);
  // Uploads a rectangle of an image into *texture (made when 0), padded to a power of two.
  bool (*uploadImageToTexture)(const RgbaImage& image, int32_t x, int32_t y, int32_t width,
                               int32_t height, uint32_t* texture, uint32_t* mipmappedTexture,
                               bool normalMap, bool nearest);
  void (*freeSprite)(OpenGLRainbows& ctx, int32_t sprite);
  void (*endOffscreenScreen)(OpenGLRainbows& ctx);
  void (*deleteFramebuffer)(OffscreenScreen& screen);
  void (*loadFramebufferExtensions)();
  void (*buildDefaultFontImage)(RgbaImage& image);
  void (*releaseImage)(RgbaImage& image);
  // Called by everything in the frame that writes or swaps the framebuffer: pixels read back
  // before it are stale.
  void (*invalidateScreenReads)();
  // Sends the sprite draws the 2D layer holds back; see FlushHeldSpriteDraws.
  void (*flushSpriteBatch)();
  // Background picture n: the whole window copied into it, and emptied again with its tiles
  // kept aside for the next grab.
  void (*grabBackground)(OpenGLRainbows& ctx, int32_t n);
  void (*setBackgroundTilesAside)(OpenGLRainbows& ctx, int32_t n);
  // The program's print command: text in the current font with its top-left at (x, y), in
  // fixed cells or, with proportional, each glyph's own advance.
  void (*printText)(const Str& text, double x, double y, int32_t proportional);
};

const Gfx2dServices& Gfx2d();
void InstallGfx2dServices(const Gfx2dServices& services);

// True when the 2D layer has filled its part of every frame table: these services, the
// background picture drawing and the start-up's screen clearing and fonts. The frame draws its
// fonts, its text input and every frame end through that layer, and so does the 3D layer.
bool Gfx2dLayerInstalled();

// The 2D layer holds consecutive sprite draws back to send them together. Everything in the frame
// that changes GL state, draws, switches the target or swaps calls this first; without a 2D
// layer nothing is held.
void FlushHeldSpriteDraws();
