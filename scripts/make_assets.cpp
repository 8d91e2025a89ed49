// Writes the data files that ship beside the tool into the folder given: "sysfont.png", the
// built-in character set as a font bitmap, and "blank.png", a 16 x 16 white texture. Both come
// from the runtime's own code, so no outside file ships.
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
  const bool written =
      sized && Write(folder + "/sysfont.png", font) && Write(folder + "/blank.png", blank);
  ReleaseImage(font);
  ReleaseImage(blank);
  return written ? 0 : 1;
}
