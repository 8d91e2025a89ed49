#include "frame/text_input.h"

#include "core/str_value.h"
#include "core/text_to_number.h"
#include "frame/cycle_services.h"
#include "frame/frame_cycle.h"
#include "frame/gfx2d_services.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"

namespace {

// The picture that keeps the screen under the edited line.
constexpr int32_t kEditorPicture = 3;
// The cursor changes after this many frames without a typed character, counted from 0.
constexpr int32_t kBlinkFrames = 20;

constexpr int32_t kEnter = 13;
constexpr int32_t kLineFeed = 10;
constexpr int32_t kBackspace = 8;

void DrawLine(OpenGLRainbows& ctx, const Str& text, bool cursor, int32_t x, int32_t y,
              int32_t proportional) {
  Cycle().drawBackgroundPicture(ctx, kEditorPicture);
  StrValue line(text);
  if (cursor) line += "_";
  Gfx2d().printText(line, x, y, proportional);
}

// One frame shown, then the oldest typed character (0 when none). A script hands its answers
// over one character at a time, and only into an empty queue, which holds 16 at most.
int32_t NextTypedChar(InputManager& input) {
  if (input.typedChars.pending.empty()) FeedInputScript(ScriptedWait::Text);
  ShowScreen(1);
  KeyboardRead(input);
  return PopTypedChar(input.typedChars);
}

void Edit(Str& text, int32_t c) {
  if (c == kBackspace) {
    if (text.length > 0) StrTruncate(text, int32_t(text.length) - 1);
  } else {
    StrAppendChar(text, char(c));
  }
}

// An empty line typed and read as a whole text, which the caller converts.
template <class Conversion>
auto ReadTypedLine(int32_t x, int32_t y, int32_t proportional, Conversion convert) {
  Str text;
  StrInitEmpty(text);
  InputString(text, x, y, proportional);
  const auto value = convert(text);
  StrRelease(text);
  return value;
}

}  // namespace

void InputString(Str& text, int32_t x, int32_t y, int32_t proportional) {
  if (!GraphicsContext || !InputObject) return;
  OpenGLRainbows& ctx = *GraphicsContext;
  const Gfx2dServices& gfx = Gfx2d();
  gfx.grabBackground(ctx, kEditorPicture);
  Cycle().drawBackgroundPicture(ctx, kEditorPicture);
  gfx.printText(text, x, y, 0);
  int32_t blink = 0;
  bool cursor = false;
  for (;;) {
    const int32_t c = NextTypedChar(*InputObject);
    if (c == kEnter || c == kLineFeed) break;
    if (c != 0) {
      Edit(text, c);
    } else if (++blink > kBlinkFrames) {
      blink = 0;
      cursor = !cursor;
    }
    DrawLine(ctx, text, cursor, x, y, proportional);
  }
  gfx.setBackgroundTilesAside(ctx, kEditorPicture);
}

void InputInteger(int32_t* value, int32_t x, int32_t y, int32_t proportional) {
  *value = ReadTypedLine(x, y, proportional, [](const Str& text) { return StrToInt(text); });
}

void InputNumber(double* value, int32_t x, int32_t y, int32_t proportional) {
  *value = ReadTypedLine(x, y, proportional, [](const Str& text) { return StrToNumber(text); });
}
