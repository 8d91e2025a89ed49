// The 2D layer's part of the runtime's start-up: the first clear of the screen, the system font
// file and the choice of the current font, installed into the frame's hooks.
#include "frame/default_font.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "gfx2d/background_commands.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/text_commands.h"

namespace {

// A font file that does not load must not leave the font without glyphs.
bool LoadStartupFont(const char* path, int32_t font) {
  if (!GraphicsContext) return false;
  if (LoadFontFile(*GraphicsContext, font, path)) return true;
  CreateDefaultFont(*GraphicsContext, font);
  return false;
}

bool InstallTextHooks() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks&) {
    startup.clearScreen = ClearScreen;
    startup.loadFont = LoadStartupFont;
    startup.selectFont = SetFont;
  });
  return true;
}

}  // namespace

// The frame cannot name this layer; the link flag in gfx2d/CMakeLists.txt keeps this object in
// every program linked with the library.
extern "C" const bool qrn_gfx2d_text_hooks_installed = InstallTextHooks();
