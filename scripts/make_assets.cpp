// Writes the data files that ship beside the tool into the folder given: "sysfont.png", the
// built-in character set as a font bitmap; "blank.png", a 16 x 16 white texture; and
// "mushroom.png", a sample strip of 16 tiles of 16 x 16 pixels, the depth slices of a toadstool.
// All come from the runtime's own code, so no outside file ships.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "gfx2d/font_bitmaps.h"
#include "gfx2d/png_file.h"
#include "gfx2d/rgba_image.h"

namespace {

bool Write(const std::string& path, const RgbaImage& image) {
  if (PngSave(path.c_str(), image.pixels, image.width, image.height)) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

struct Rgb {
  uint8_t r, g, b;
};
constexpr Rgb kEmpty{0, 0, 0}, kCap{200, 30, 30}, kSpot{245, 245, 245}, kGills{190, 160, 120},
    kStem{235, 220, 180}, kGrass{60, 160, 60}, kDarkGrass{40, 120, 40};

constexpr int kTileSize = 16;
constexpr int kLayers = 16;
constexpr double kCentre = 7.5;

// The cap's radius on each image row; 0 where the row holds no cap.
double CapRadius(int row) {
  constexpr double kRadii[] = {0, 3.5, 5.5, 6.5, 7.3, 7.6, 7.6, 7.6};
  return row < 8 ? kRadii[row] : 0;
}

// White spots where the cap's direction from its middle comes near one of six directions:
// straight up, and five around it.
bool OnSpot(double x, double y, double z) {
  const double dx = x - kCentre, dy = y - 7.0, dz = z - kCentre;
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (length == 0) return false;
  if (-dy / length > 0.95) return true;
  for (int i = 0; i < 5; ++i) {
    const double angle = i * 2 * M_PI / 5 + 0.3;
    const double sx = std::cos(angle) * 0.7, sy = -0.7, sz = std::sin(angle) * 0.7;
    if ((dx * sx + dy * sy + dz * sz) / length > 0.93) return true;
  }
  return false;
}

Rgb ToadstoolColour(int x, int row, int z) {
  const double dx = x - kCentre, dz = z - kCentre;
  const double across = std::sqrt(dx * dx + dz * dz);
  if (row == 7) return across <= 7.6 ? (across <= 3.0 ? kStem : kGills) : kEmpty;
  if (const double radius = CapRadius(row); radius > 0) {
    if (across > radius) return kEmpty;
    return OnSpot(x, row, z) ? kSpot : kCap;
  }
  if (row < 15) return across <= 2.6 ? kStem : kEmpty;
  if (across > 7.0) return kEmpty;
  return (x + z) % 3 == 0 ? kDarkGrass : kGrass;
}

// Tile z, side by side: the model's slice at depth z.
bool BuildSampleStrip(RgbaImage& strip) {
  if (!ResizeImage(strip, kTileSize * kLayers, kTileSize)) return false;
  for (int z = 0; z < kLayers; ++z) {
    for (int row = 0; row < kTileSize; ++row) {
      for (int x = 0; x < kTileSize; ++x) {
        const Rgb c = ToadstoolColour(x, row, z);
        uint8_t* pixel = strip.pixels + (size_t(row) * strip.width + z * kTileSize + x) * 4;
        pixel[0] = c.r;
        pixel[1] = c.g;
        pixel[2] = c.b;
        pixel[3] = 255;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  RgbaImage font;
  BuildDefaultFontImage(font);
  RgbaImage blank;
  const bool sized = ResizeImage(blank, 16, 16);
  if (sized) std::memset(blank.pixels, 0xFF, 16 * 16 * 4);
  RgbaImage strip;
  const bool written = sized && BuildSampleStrip(strip) && Write(folder + "/sysfont.png", font) &&
                       Write(folder + "/blank.png", blank) &&
                       Write(folder + "/mushroom.png", strip);
  ReleaseImage(font);
  ReleaseImage(blank);
  ReleaseImage(strip);
  return written ? 0 : 1;
}
