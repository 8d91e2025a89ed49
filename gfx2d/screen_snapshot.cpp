// The picture a script's snapshot step saves: the window's back buffer as the frame stands just
// before it is shown, or the copy of it kept when the last frame was shown, written as an opaque
// PNG. Installed into the script runner with the layer.
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "frame/graphics_context.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/png_file.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"

namespace {

// GL rows run bottom-up and the cleared alpha may be anything: the file is upright and opaque.
std::vector<uint8_t> UprightOpaque(const std::vector<uint8_t>& rows, int32_t width,
                                   int32_t height) {
  const size_t rowBytes = size_t(width) * 4;
  std::vector<uint8_t> upright(rows.size());
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* from = rows.data() + size_t(height - 1 - y) * rowBytes;
    uint8_t* to = upright.data() + size_t(y) * rowBytes;
    for (size_t i = 0; i < rowBytes; i += 4) {
      to[i] = from[i];
      to[i + 1] = from[i + 1];
      to[i + 2] = from[i + 2];
      to[i + 3] = 255;
    }
  }
  return upright;
}

struct Picture {
  std::vector<uint8_t> rows;  // bottom-up, as GL reads them
  int32_t width = 0, height = 0;
};

Picture gShownPicture;

bool ReadDrawnPicture(Picture& picture) {
  FlushSpriteBatch();
  if (!GraphicsContext) return false;
  picture.width = GraphicsContext->windowWidth;
  picture.height = GraphicsContext->windowHeight;
  if (picture.width <= 0 || picture.height <= 0) return false;
  picture.rows.resize(size_t(picture.width) * size_t(picture.height) * 4);
  SetTightPackState();
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, picture.rows.data());
  return true;
}

void KeepShownPicture() {
  if (!ReadDrawnPicture(gShownPicture)) gShownPicture = Picture{};
}

// Before any frame was kept, the picture being drawn is all there is.
int WriteScreenSnapshot(const char* path, SnapshotPicture which) {
  Picture drawn;
  const bool kept = which == SnapshotPicture::Shown && !gShownPicture.rows.empty();
  if (!kept && !ReadDrawnPicture(drawn)) return 0;
  const Picture& picture = kept ? gShownPicture : drawn;
  const std::vector<uint8_t> upright = UprightOpaque(picture.rows, picture.width, picture.height);
  return PngSave(path, upright.data(), picture.width, picture.height) ? 1 : 0;
}

}  // namespace

void InstallScreenSnapshot() {
  InstallSnapshotWriter(WriteScreenSnapshot, KeepShownPicture);
}
