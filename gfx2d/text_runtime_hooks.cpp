// The 2D layer's part of the runtime's start-up: the first clear of the screen, the system font
// file and the choice of the current font, installed into the frame's hooks.
#include "frame/default_font.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "gfx2d/background_commands.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/text_commands.h"

namespace {

// A font file that does not load must not leave the font without glyphs.
bool LoadStartupFont(const char* path, int32_t font) {
  if (!GraphicsContext) return false;
  if (LoadFontFile(*GraphicsContext, font, path)) return true;
  CreateDefaultFont(*GraphicsContext, font);
  return false;
}

}  // namespace

void InstallTextHooks() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks&) {
    startup.clearScreen = ClearScreen;
    startup.loadFont = LoadStartupFont;
    startup.selectFont = SetFont;
  });
}
