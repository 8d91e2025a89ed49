// Bands of whole tiles cut from a decoded strip and handed to sprite 0 one at a time.
#include "tool/strip_bands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_store.h"
#include "tool/scan_tile_drawing.h"

namespace {

bool ReadStrip(RgbaImage& image, const Str& fileName, int32_t transparentColour,
               ImagePart& part) {
  std::string resolved;
  return ResolveReadName(fileName, resolved) &&
         ReadTextureImage(image, resolved.c_str(), transparentColour, kLongestUsableStrip, &part);
}

bool UsableInBands(const ImagePart& picture, int32_t limit) {
  const int32_t shortSide = std::min(picture.pictureWidth, picture.pictureHeight);
  const int32_t longSide = std::max(picture.pictureWidth, picture.pictureHeight);
  return shortSide >= 1 && shortSide <= limit && longSide <= kLongestUsableStrip;
}

// Pixels up to `reach`, and one more: a band starts and ends on whole pixels around its tiles.
int32_t KeptPixels(double reach) {
  return int32_t(std::clamp(std::ceil(reach) + 1, 0.0, double(INT32_MAX)));
}

// Tiles the passes read, counted from the strip's start to the end of the furthest one: the first
// pass reads whole tiles, a mirrored pass begins with tile L - 1, which ends at L for a
// fractional L.
double TilesAlong(const ScanAnswers& answers) {
  const double layers = ScanLoopCount(answers.layers);
  return answers.mirror == 1 ? std::max(layers, answers.layers) : layers;
}

// Across the strip a tile's rows or columns, along it the tiles the passes read; on both axes at
// least what a screen of the given larger side shows of the strip drawn at its corner, so the
// strip drawn after the scan looks whole.
ImagePart TilesReach(const ScanAnswers& answers, int32_t screenSide) {
  const bool vertical = answers.readType != 0;
  const double tileLength = vertical ? answers.height : answers.width;
  const int32_t across = KeptPixels(ScanLoopCount(vertical ? answers.width : answers.height));
  const int32_t along = KeptPixels(TilesAlong(answers) * std::max(1.0, tileLength));
  ImagePart part;
  part.keepWidth = std::max(vertical ? across : along, screenSide);
  part.keepHeight = std::max(vertical ? along : across, screenSide);
  return part;
}

}  // namespace

bool StripUsableInBands(const Str& fileName) {
  if (!GraphicsContext) return false;
  RgbaImage image;
  ImagePart nothing{0, 0};
  const bool usable =
      ReadStrip(image, fileName, int32_t(GraphicsContext->transparentColour), nothing) &&
      UsableInBands(nothing, LargestSpriteSide());
  ReleaseImage(image);
  return usable;
}

StripBands::~StripBands() {
  ReleaseImage(image_);
}

bool StripBands::Load(OpenGLRainbows& ctx, const Str& fileName, const ScanAnswers& answers) {
  ctx_ = &ctx;
  const int32_t limit = LargestSpriteSide();
  picture_ = TilesReach(answers, std::max(ctx.windowWidth, ctx.windowHeight));
  if (!ReadStrip(image_, fileName, int32_t(ctx.transparentColour), picture_) ||
      !UsableInBands(picture_, limit)) {
    ReleaseImage(image_);
    return false;
  }
  vertical_ = answers.readType != 0;
  tileLength_ = std::max(1.0, vertical_ ? answers.height : answers.width);
  // One band when the kept part fits one texture; else room for a tile more than the band serves
  // (a fractional tile of a mirrored pass ends in the next band's first tile) and a pixel to
  // spare: a band starts and ends on whole pixels around its tiles.
  const int32_t length = vertical_ ? image_.height : image_.width;
  tilesPerBand_ = length <= limit ? INT32_MAX
                                  : std::max(1, int32_t((limit - 1) / std::ceil(tileLength_)) - 1);
  return true;
}

double StripBands::ShowTile(double tile) {
  const int32_t band = tile < 0 ? 0 : int32_t(tile) / tilesPerBand_;
  if (band != shownBand_) MakeBand(band);
  return shownOrigin_;
}

// The band's pixels along the strip, and across it as many as are kept (no tile reaches further
// across).
void StripBands::MakeBand(int32_t band) {
  const int32_t limit = LargestSpriteSide();
  const int32_t length = vertical_ ? image_.height : image_.width;
  const int32_t across = std::min(vertical_ ? image_.width : image_.height, limit);
  const double first = double(band) * tilesPerBand_ * tileLength_;
  const int32_t origin = std::min(int32_t(std::floor(first)), std::max(0, length - 1));
  const double bandEnd = std::ceil(first + (double(tilesPerBand_) + 1) * tileLength_);
  const auto end = int32_t(std::min({double(length), bandEnd, double(origin) + limit}));
  RgbaImage part;
  const int32_t partWidth = vertical_ ? across : end - origin;
  const int32_t partHeight = vertical_ ? end - origin : across;
  if (ResizeImageForOverwrite(part, partWidth, partHeight)) {
    part.hasAlpha = image_.hasAlpha;
    const size_t rowBytes = size_t(partWidth) * 4;
    for (int32_t y = 0; y < partHeight; ++y) {
      const int32_t sourceX = vertical_ ? 0 : origin, sourceY = vertical_ ? origin + y : y;
      std::memcpy(part.pixels + size_t(y) * rowBytes,
                  image_.pixels + (size_t(sourceY) * size_t(image_.width) + size_t(sourceX)) * 4,
                  rowBytes);
    }
    CreateSpriteFromImage(*ctx_, kStripSprite, part, int32_t(ctx_->transparentColour), false);
  }
  ReleaseImage(part);
  shownBand_ = band;
  shownOrigin_ = origin;
}
