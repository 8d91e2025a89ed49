// Background pictures: loading, grabbing, freeing and drawing, and the installation of the
// frame-start picture drawing into the frame cycle.
#include "gfx2d/background_pictures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <utility>

#include "frame/cycle_services.h"
#include "frame/gfx2d_services.h"
#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/bmp_file.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/jpeg_file.h"
#include "gfx2d/png_file.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/texture_binding.h"
#include "gfx2d/texture_upload.h"
#include "platform/window.h"

namespace {

constexpr int32_t kMaxTilesPerSide = 8;
constexpr int32_t kLoadedTileLimit = 512;
constexpr int32_t kSmallestGrabTile = 128;

// The grab's read-back buffer, kept for the next grab and released at exit.
struct GrabBuffer {
  RgbaImage image;
  ~GrabBuffer() { ReleaseImage(image); }
};
GrabBuffer ReadBack;

bool IsPicture(int32_t n) {
  return n >= 0 && n < kBackgroundPictureCount;
}

int32_t TilesFor(int32_t size, int32_t tile) {
  return (size + tile - 1) / tile;
}

int32_t TileIndex(int32_t across, int32_t down) {
  return across * kMaxTilesPerSide + down;
}

void DeleteTile(BackgroundPicture& picture, int32_t index) {
  FlushSpriteBatch();
  if (picture.tiles[index]) glDeleteTextures(1, &picture.tiles[index]);
  picture.tiles[index] = 0;
  picture.textureWidths[index] = picture.textureHeights[index] = 0;
  picture.tileWidths[index] = picture.tileHeights[index] = 0;
}

void SetTileSize(BackgroundPicture& picture, int32_t index, int32_t texture, int32_t width,
                 int32_t height) {
  picture.textureWidths[index] = picture.textureHeights[index] = int16_t(texture);
  picture.tileWidths[index] = int16_t(width);
  picture.tileHeights[index] = int16_t(height);
}

int32_t LoadedTileSize() {
  return std::min(platform::MaxTextureSize(), kLoadedTileLimit);
}

// A picture is cut into at most 8 x 8 tiles.
bool ReadPictureFile(RgbaImage& image, const char* fileName) {
  const int32_t largestSide = kMaxTilesPerSide * LoadedTileSize();
  return LoadBmpImage(image, fileName, kNoTransparentColour, largestSide) ||
         LoadPngImage(image, fileName, kNoTransparentColour, largestSide) ||
         LoadJpegImage(image, fileName, largestSide);
}

bool UploadTiles(BackgroundPicture& picture, const RgbaImage& image, int32_t tile) {
  for (int32_t a = 0; a < picture.tilesA; ++a) {
    for (int32_t b = 0; b < picture.tilesB; ++b) {
      const int32_t index = TileIndex(a, b);
      if (!UploadImageToTexture(image, a * tile, b * tile, tile, tile, &picture.tiles[index],
                                nullptr, false, false)) {
        return false;
      }
      SetTileSize(picture, index, tile, tile, tile);
    }
  }
  return true;
}

int32_t GrabTileSize(const OpenGLRainbows& ctx) {
  const int32_t limit = platform::MaxTextureSize();
  const int32_t side = std::max(ctx.windowWidth, ctx.windowHeight);
  int32_t tile = kSmallestGrabTile;
  while (tile < side && tile < limit) tile *= 2;
  return tile;
}

void MakeGrabTexture(const OpenGLRainbows& ctx, BackgroundPicture& picture, int32_t index,
                     int32_t tile) {
  // A tile of another size is remade; its old texture goes first.
  DeleteTile(picture, index);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glGenTextures(1, &picture.tiles[index]);
  glBindTexture(GL_TEXTURE_2D, picture.tiles[index]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tile, tile, 0, ctx.bgraSupported ? GL_BGRA : GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
}

// The window rectangle goes to the texture's lower-left corner, its bottom row first.
void CopyWindowIntoTile(const OpenGLRainbows& ctx, int32_t tile, int32_t x, int32_t y,
                        int32_t width, int32_t height) {
  if (ctx.bgraSupported) {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
    return;
  }
  if (!ResizeImage(ReadBack.image, tile, tile)) return;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, tile);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, ReadBack.image.pixels);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tile, tile, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               ReadBack.image.pixels);
}

void DeleteAllTiles(BackgroundPicture& picture) {
  for (int32_t index = 0; index < kMaxTilesPerSide * kMaxTilesPerSide; ++index) {
    DeleteTile(picture, index);
  }
  picture = BackgroundPicture{};
}

void DeleteTilesOutside(BackgroundPicture& picture, int32_t across, int32_t down) {
  for (int32_t a = 0; a < kMaxTilesPerSide; ++a) {
    for (int32_t b = 0; b < kMaxTilesPerSide; ++b) {
      if (a >= across || b >= down) DeleteTile(picture, TileIndex(a, b));
    }
  }
}

void DrawTiles(const BackgroundPicture& picture) {
  float x = 0.0f;
  for (int32_t a = 0; a < picture.tilesA; ++a) {
    float y = 0.0f;
    for (int32_t b = 0; b < picture.tilesB; ++b) {
      const int32_t i = TileIndex(a, b);
      glBindTexture(GL_TEXTURE_2D, picture.tiles[i]);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      const float w = picture.tileWidths[i], h = picture.tileHeights[i];
      const float u = w / float(picture.textureWidths[i]);
      const float v = h / float(picture.textureHeights[i]);
      const QuadVertex corners[4] = {
          {x, y + h, 0.0f, 0.0f}, {x + w, y + h, u, 0.0f}, {x + w, y, u, v}, {x, y, 0.0f, v}};
      DrawQuadFan(corners);
      y += float(picture.textureHeights[i]);
    }
    x += float(picture.textureWidths[TileIndex(a, 0)]);
  }
}

}  // namespace

void InstallBackgroundDrawing() {
  InstallBackgroundPictureDrawing(DrawBackgroundPicture);
  Gfx2dServices services = Gfx2d();
  services.grabBackground = GrabBackground;
  services.setBackgroundTilesAside = SetBackgroundTilesAside;
  InstallGfx2dServices(services);
}

bool LoadBackgroundPicture(OpenGLRainbows& ctx, int32_t n, const char* fileName) {
  if (!IsPicture(n) || !fileName) return false;
  RgbaImage image;
  const bool read = ReadPictureFile(image, fileName) && image.width > 0 && image.height > 0;
  const int32_t tile = LoadedTileSize();
  const int32_t across = read ? TilesFor(image.width, tile) : 0;
  const int32_t down = read ? TilesFor(image.height, tile) : 0;
  if (!read || across > kMaxTilesPerSide || down > kMaxTilesPerSide) {
    ReleaseImage(image);
    return false;
  }
  FreeBackgroundTiles(ctx, n);
  BackgroundPicture& picture = ctx.backgrounds[n];
  picture.tilesA = uint8_t(across);
  picture.tilesB = uint8_t(down);
  const bool uploaded = UploadTiles(picture, image, tile);
  ReleaseImage(image);
  if (!uploaded) FreeBackgroundTiles(ctx, n);
  return uploaded;
}

void GrabBackground(OpenGLRainbows& ctx, int32_t n) {
  FlushSpriteBatch();
  if (!IsPicture(n)) return;
  const int32_t width = ctx.windowWidth, height = ctx.windowHeight;
  const int32_t tile = GrabTileSize(ctx);
  const int32_t across = TilesFor(width, tile);
  const int32_t down = TilesFor(height, tile);
  if (across > kMaxTilesPerSide || down > kMaxTilesPerSide) return;
  BackgroundPicture& picture = ctx.backgrounds[n];
  if (picture.tilesA == 0) std::swap(picture, ctx.backgrounds[kSpareGrabTiles]);
  DeleteTilesOutside(picture, across, down);
  for (int32_t b = 0; b < down; ++b) {
    for (int32_t a = 0; a < across; ++a) {
      const int32_t index = TileIndex(a, b);
      if (picture.textureWidths[index] != tile || picture.textureHeights[index] != tile) {
        MakeGrabTexture(ctx, picture, index, tile);
      } else {
        glBindTexture(GL_TEXTURE_2D, picture.tiles[index]);
      }
      const int32_t x = a * tile, y = b * tile;
      const int32_t w = std::min(tile, width - x), h = std::min(tile, height - y);
      CopyWindowIntoTile(ctx, tile, x, height - y - h, w, h);
      SetTileSize(picture, index, tile, w, h);
    }
  }
  picture.tilesA = uint8_t(across);
  picture.tilesB = uint8_t(down);
}

void FreeBackgroundTiles(OpenGLRainbows& ctx, int32_t n) {
  if (!IsPicture(n)) return;
  DeleteAllTiles(ctx.backgrounds[n]);
}

void SetBackgroundTilesAside(OpenGLRainbows& ctx, int32_t n) {
  if (!IsPicture(n)) return;
  BackgroundPicture& spare = ctx.backgrounds[kSpareGrabTiles];
  DeleteAllTiles(spare);
  std::swap(spare, ctx.backgrounds[n]);
}

void DrawBackgroundPicture(OpenGLRainbows& ctx, int32_t n) {
  FlushSpriteBatch();
  if (!IsPicture(n) || ctx.backgrounds[n].tilesA == 0) return;
  // The caller's blend mode and draw alpha stay, so a picture can fade over the frame.
  SetAlphaTest(ctx, 1.0f);
  CachedColour(1.0f, 1.0f, 1.0f, ctx.drawAlpha);
  if (GlExtensionTable.glActiveTextureARB) {
    GlExtensionTable.glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    GlExtensionTable.glActiveTextureARB(GL_TEXTURE0_ARB);
  }
  glEnable(GL_TEXTURE_2D);
  // Any bound sprite makes the quad fan send texture coordinates.
  GlStateCache.boundSprite = 0;
  DrawTiles(ctx.backgrounds[n]);
  BindSpriteTextures(ctx, -1, -1, 0, nullptr);
  ApplySpriteFilter(ctx);
  CachedEnable(kCapBlend);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ctx.drawAlpha = 1.0f;
  CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
  InvalidateScreenReads();
}
