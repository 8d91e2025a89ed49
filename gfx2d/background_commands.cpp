// Background picture commands over the background pictures and the frame's clear colour.
#include "gfx2d/background_commands.h"

#include <string>

#include "core/last_error.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"
#include "gfx2d/background_pictures.h"
#include "gfx2d/command_checks.h"

namespace {

constexpr int32_t kFramePicture = 0;
constexpr int32_t kErrorNoSuchFile = 3;

}  // namespace

void ClearScreen(int32_t colour) {
  if (!GraphicsContext) return;
  FreeBackgroundTiles(*GraphicsContext, kFramePicture);
  ClearScreenColour(*GraphicsContext, colour);
}

void GrabBackgroundCmd() {
  if (GraphicsContext) GrabBackground(*GraphicsContext, kFramePicture);
}

void LoadBackgroundCmd(const Str& name) {
  ClearLastError();
  if (!GraphicsContext) return;
  OpenGLRainbows& ctx = *GraphicsContext;
  std::string resolved;
  if (ResolveReadName(name, resolved) &&
      LoadBackgroundPicture(ctx, kFramePicture, resolved.c_str())) {
    DrawBackgroundPicture(ctx, kFramePicture);
    return;
  }
  SetLastErrorCode(kErrorNoSuchFile);
  ClearScreen(0);
}
