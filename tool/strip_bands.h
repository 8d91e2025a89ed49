// The strip as the scan reads it. A strip longer than one texture holds (254 tiles of 254 pixels
// make 64,516, the largest texture 16,384) is given to sprite 0 one band of whole tiles at a
// time, each within the texture limit, so every tile is drawn and read back as a strip that fits
// one texture is. Of a picture larger than the screen only the rows or columns the answers' tiles
// reach are kept.
#pragma once

#include <cstdint>

#include "core/str.h"
#include "frame/graphics_records.h"
#include "gfx2d/rgba_image.h"
#include "tool/image_scan.h"

class OpenGLRainbows;

// The longest strip any answer can read: 254 tiles of 254 pixels.
inline constexpr int32_t kLongestUsableStrip = 254 * 254;

// Whether the file decodes as an image that can be scanned in bands: its short side within
// one texture, its long side within the longest usable strip. Not one pixel is kept: which of
// them the scan uses is not known yet.
bool StripUsableInBands(const Str& fileName);

class StripBands {
 public:
  StripBands() = default;
  ~StripBands();
  StripBands(const StripBands&) = delete;
  StripBands& operator=(const StripBands&) = delete;

  // Decodes the file with the context's colour key, as a sprite load does, keeping what the
  // answers' tiles reach and a pixel more, and what the screen shows; false when it does not
  // decode or cannot be scanned in bands.
  bool Load(OpenGLRainbows& ctx, const Str& fileName, const ScanAnswers& answers);
  // The picture's own size.
  int32_t Width() const { return picture_.pictureWidth; }
  int32_t Height() const { return picture_.pictureHeight; }
  // Puts the band holding the tile into sprite 0; answers the pixel along the strip where the
  // sprite begins.
  double ShowTile(double tile);

 private:
  void MakeBand(int32_t band);

  OpenGLRainbows* ctx_ = nullptr;
  RgbaImage image_;  // the kept part
  ImagePart picture_;
  bool vertical_ = false;
  double tileLength_ = 1;    // pixels along the strip per tile
  int32_t tilesPerBand_ = 1;
  int32_t shownBand_ = -1;
  int32_t shownOrigin_ = 0;
};
