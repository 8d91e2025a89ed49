// Font and text commands over the font bitmaps and the text drawing.
#include "gfx2d/text_commands.h"

#include <string>

#include "core/last_error.h"
#include "frame/default_font.h"
#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/font_bitmaps.h"
#include "gfx2d/text_drawing.h"

int32_t CurrentFont = 0;

namespace {

constexpr int32_t kErrorNoSuchFile = 3;
constexpr int32_t kErrorBadNumber = 7;

void LoadIntoCurrentFont(OpenGLRainbows& ctx, const Str& name) {
  std::string resolved;
  if (ResolveReadName(name, resolved) && LoadFontFile(ctx, CurrentFont, resolved.c_str())) return;
  SetLastErrorCode(kErrorNoSuchFile);
  CreateDefaultFont(ctx, CurrentFont);
}

}  // namespace

void PrintText(const Str& text, double x, double y, int32_t proportional) {
  if (!GraphicsContext) return;
  DrawTextRun(*GraphicsContext, CurrentFont, text.data, static_cast<float>(x),
              static_cast<float>(y), 0.0f, proportional);
}

int32_t TextWidthCmd(const Str& text, int32_t proportional) {
  if (!GraphicsContext) return 0;
  return static_cast<int32_t>(TextWidth(*GraphicsContext, CurrentFont, text.data, proportional));
}

void SetFont(int32_t font) {
  if (IsFontId(font))
    CurrentFont = font;
  else
    SetLastErrorCode(kErrorBadNumber);
}

void LoadFont(const Str& name, int32_t font) {
  ClearLastError();
  const bool valid = IsFontId(font);
  if (!valid) SetLastErrorCode(kErrorBadNumber);
  if (name.data[0] == '\0') {
    if (valid && GraphicsContext) LoadFontFile(*GraphicsContext, font, "");
    return;
  }
  if (valid) CurrentFont = font;
  if (GraphicsContext) LoadIntoCurrentFont(*GraphicsContext, name);
}

void GetFontSizeI(int32_t* width, int32_t* height) {
  *width = *height = 0;
  if (GraphicsContext) GetFontCellSize(*GraphicsContext, CurrentFont, width, height);
}

void GetFontSizeF(double* width, double* height) {
  int32_t w, h;
  GetFontSizeI(&w, &h);
  *width = w;
  *height = h;
}

int32_t FindFreeFontCmd() {
  return GraphicsContext ? FindFreeFont(*GraphicsContext) : -1;
}
