// Pixel-array commands over the image readers and the sprite store.
#include "gfx2d/pixel_array_commands.h"

#include <cstring>
#include <string>

#include "core/last_error.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_pixels.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;

// The array is dimensioned to the image's pixel count and takes its bytes as they lie.
void ImageToArray(const RgbaImage& image, DimArray& pixels) {
  const int32_t count = image.width * image.height;
  ArrayDimIntExact(pixels, count, 0, 0, 0);
  if (count > 0) std::memcpy(ArrayElementAt(pixels, 0), image.pixels, size_t(count) * 4);
}

bool ReadArrayImage(const Str& name, RgbaImage& image) {
  std::string resolved;
  const int32_t key = GraphicsContext ? static_cast<int32_t>(GraphicsContext->transparentColour)
                                      : kNoTransparentColour;
  if (!ResolveReadName(name, resolved) ||
      !ReadImageFile(image, resolved.c_str(), key, kAnyImageSide))
    return false;
  if (!image.hasAlpha) BleedTransparentPixels(image);
  return true;
}

}  // namespace

int32_t ArrayToSpriteCmd(DimArray& pixels, int32_t sprite, int32_t width, int32_t height) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx || width < 1 || height < 1) return 0;
  if (int64_t(width) * int64_t(height) != int64_t(pixels.count)) return 0;
  RgbaImage image;
  bool made = ResizeImage(image, width, height);
  if (made) {
    std::memcpy(image.pixels, ArrayElementAt(pixels, 0), size_t(pixels.count) * 4);
    image.hasAlpha = 1;
    made = CreateSpriteFromImage(*ctx, sprite, image, static_cast<int32_t>(ctx->transparentColour),
                                 false);
  }
  ReleaseImage(image);
  return made ? 1 : 0;
}

int32_t SpriteToArrayCmd(DimArray& pixels, int32_t sprite) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx) return 0;
  RgbaImage image;
  const bool read = ReadPixelsToImage(*ctx, sprite, image) && image.width > 0 && image.height > 0;
  if (read) ImageToArray(image, pixels);
  ReleaseImage(image);
  return read ? 1 : 0;
}

void LoadImageToArrayCmd(const Str& name, int32_t* width, int32_t* height, DimArray& pixels) {
  RgbaImage image;
  image.hasAlpha = 1;
  if (ReadArrayImage(name, image)) {
    *width = image.width;
    *height = image.height;
    ImageToArray(image, pixels);
  } else {
    SetLastErrorCode(kErrorNoSuchFile);
  }
  ReleaseImage(image);
}
