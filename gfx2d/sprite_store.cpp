// The sprite table, and the installation of the 2D layer's services into the frame.
#include "gfx2d/sprite_store.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"
#include "gfx2d/bmp_file.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/jpeg_file.h"
#include "gfx2d/png_file.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/text_commands.h"
#include "gfx2d/texture_binding.h"
#include "gfx2d/texture_upload.h"
#include "platform/window.h"

namespace {

// The largest side a sprite may have: the driver's limit, and what the i16 record fields hold.
constexpr int32_t kLargestSpriteSide = 16384;

bool InTable(int32_t sprite) {
  return sprite >= 0 && sprite < kSpriteCount;
}

void DeleteTexture(uint32_t& texture) {
  FlushSpriteBatch();
  if (texture) glDeleteTextures(1, &texture);
  texture = 0;
}

}  // namespace

void InstallSpriteServices() {
  Gfx2dServices services = Gfx2d();
  services.bindSpriteTextures = BindSpriteTextures;
  services.uploadImageToTexture = UploadImageToTexture;
  services.freeSprite = FreeSprite;
  services.buildDefaultFontImage = BuildDefaultFontImage;
  services.releaseImage = ReleaseImage;
  services.invalidateScreenReads = InvalidateScreenReads;
  services.flushSpriteBatch = FlushSpriteBatch;
  services.printText = PrintText;
  InstallGfx2dServices(services);
}

bool ReadImageFile(RgbaImage& image, const char* fileName, int32_t transparentColour,
                   int32_t largestSide, ImagePart* part) {
  return LoadBmpImage(image, fileName, transparentColour, largestSide, part) ||
         LoadPngImage(image, fileName, transparentColour, largestSide, part) ||
         LoadJpegImage(image, fileName, largestSide, part);
}

bool ReadTextureImage(RgbaImage& image, const char* fileName, int32_t transparentColour,
                      int32_t largestSide, ImagePart* part) {
  image.hasAlpha = 1;
  if (!ReadImageFile(image, fileName, transparentColour, largestSide, part)) {
    ReleaseImage(image);
    return false;
  }
  if (!image.hasAlpha) BleedTransparentPixels(image);
  return true;
}

void FreeSprite(OpenGLRainbows& ctx, int32_t sprite) {
  if (!InTable(sprite)) return;
  std::free(ctx.alphaMasks[sprite]);
  ctx.alphaMasks[sprite] = nullptr;
  BindSpriteTextures(ctx, -1, -1, 0, nullptr);
  SpriteRecord& record = ctx.sprites[sprite];
  DeleteTexture(record.texture);
  DeleteTexture(record.mipmappedTexture);
  record.maxU = 1.0f;
  record.maxV = 1.0f;
  record.paddedWidth = -1;
  record.paddedHeight = -1;
  record.width = 0;
  record.height = 0;
}

void FreeAllSprites(OpenGLRainbows& ctx) {
  for (int32_t sprite = 0; sprite < kSpriteCount - 1; ++sprite) FreeSprite(ctx, sprite);
  for (BackgroundPicture& picture : ctx.backgrounds) {
    for (uint32_t& tile : picture.tiles) DeleteTexture(tile);
    picture = BackgroundPicture{};
  }
}

int32_t FindFreeSprite(const OpenGLRainbows& ctx) {
  for (int32_t sprite = kFirstFontSprite - 1; sprite >= 0; --sprite) {
    if (ctx.sprites[sprite].width == 0) return sprite;
  }
  return -1;
}

void GetSpriteSize(const OpenGLRainbows& ctx, int32_t sprite, int32_t* width, int32_t* height) {
  const bool known = InTable(sprite);
  *width = known ? ctx.sprites[sprite].width : 0;
  *height = known ? ctx.sprites[sprite].height : 0;
}

int32_t LargestSpriteSide() {
  return std::min(kLargestSpriteSide, int32_t(platform::MaxTextureSize()));
}

bool SpriteSizeFits(int32_t width, int32_t height) {
  const int32_t largest = LargestSpriteSide();
  return width <= largest && height <= largest;
}

void DescribeSpritePicture(SpriteRecord& record, int32_t width, int32_t height) {
  record.paddedWidth = int16_t(PaddedSize(width));
  record.paddedHeight = int16_t(PaddedSize(height));
  record.width = int16_t(width);
  record.height = int16_t(height);
  record.maxU = float(width) / float(record.paddedWidth);
  record.maxV = float(height) / float(record.paddedHeight);
}

bool CreateSpriteFromImage(OpenGLRainbows& ctx, int32_t sprite, const RgbaImage& image,
                           int32_t /*transparentColour*/, bool normalMap) {
  if (!InTable(sprite)) return false;
  FreeSprite(ctx, sprite);
  if (image.width <= 0 || image.height <= 0 || !SpriteSizeFits(image.width, image.height))
    return false;
  SpriteRecord& record = ctx.sprites[sprite];
  DescribeSpritePicture(record, image.width, image.height);
  const bool font = sprite >= kFirstFontSprite;
  const bool uploaded =
      font ? UploadImageToTexture(image, 0, 0, 0, 0, &record.texture, nullptr, false, true)
           : UploadImageToTexture(image, 0, 0, 0, 0, &record.texture, &record.mipmappedTexture,
                                  normalMap, false);
  if (!uploaded) FreeSprite(ctx, sprite);
  return uploaded;
}

bool LoadSpriteFile(OpenGLRainbows& ctx, int32_t sprite, const char* fileName,
                    int32_t transparentColour, bool normalMap) {
  if (!InTable(sprite)) return false;
  FreeSprite(ctx, sprite);
  if (!fileName || !*fileName) return false;
  RgbaImage image;
  if (!ReadTextureImage(image, fileName, transparentColour, LargestSpriteSide())) return false;
  const bool made = CreateSpriteFromImage(ctx, sprite, image, transparentColour, normalMap);
  ReleaseImage(image);
  return made;
}
