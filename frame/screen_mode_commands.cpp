#include "frame/screen_mode_commands.h"

#include "core/process_globals.h"
#include "frame/frame_cycle.h"
#include "frame/graphics_context.h"
#include "frame/input_manager.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_startup.h"
#include "frame/screen_modes.h"

namespace {

// The program goes on only once the new mode has shown a few frames.
constexpr int kSettlingFrames = 5;

// The pointer set up again for the window (a new window is handed to its holders as it is made).
void RestorePointer() {
  if (InputObject) SetPointerVisible(*InputObject, InputObject->pointerShown != 0);
}

}  // namespace

void ChangeScreenMode(int32_t width, int32_t height, int32_t fullscreen) {
  ConfiguredScreenWidth = width;
  ConfiguredScreenHeight = height;
  ScreenSettings.fullscreen = fullscreen;
  EnterScreenMode(width, height, fullscreen);
}

void EnterScreenMode(int32_t width, int32_t height, int32_t fullscreen) {
  if (!GraphicsContext) return;
  OpenGLRainbows& ctx = *GraphicsContext;
  SetScreenMode(ctx, width, height, 0, fullscreen);
  RestorePointer();
  for (int i = 0; i < kSettlingFrames; ++i) ShowScreen(1);
}
