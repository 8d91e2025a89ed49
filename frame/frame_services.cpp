#include "frame/frame_services.h"

#include <cstdio>
#include <cstdlib>

#include "core/process_globals.h"
#include "frame/frame_cycle.h"
#include "frame/graphics_context.h"
#include "frame/hibernate.h"
#include "frame/input_manager.h"
#include "frame/runtime_objects.h"
#include "frame/sound_device.h"
#include "platform/debug_output.h"
#include "platform/input.h"
#include "platform/window.h"

int32_t DebugFlag = 0;
uint32_t MainWindowHandle = 0;

namespace {

Str gCaption{};
bool gCaptionMade = false;

}  // namespace

Str& GetCaptionText() {
  if (!gCaptionMade) {
    StrInitEmpty(gCaption);
    gCaptionMade = true;
    std::atexit(CaptionTextRelease);
  }
  return gCaption;
}

void CaptionTextRelease() {
  if (gCaptionMade) StrRelease(gCaption);
  gCaptionMade = false;
}

void SetSourcePosition(int32_t positionWord, int32_t lineWord) {
  SourcePositionWord = positionWord;
  SourceLineWord = lineWord;
}

uint32_t GetMainWindow() {
  return MainWindowHandle;
}

void AdoptMainWindow(OpenGLRainbows& ctx) {
  MainWindowHandle = platform::WindowId(ctx.window);
  if (InputObject) InputObject->window = ctx.window;
  platform::SetEventWindow(ctx.window);
  if (SoundHolder) SoundSetCooperative(*SoundHolder, ctx.window);
}

void OpenConsole() {}

void SetEscapeEnds(double value) {
  EscapeEndsFlag = value != 0.0 ? 1 : 0;
}

void DebugBreakpoint(int32_t number) {
  if (!platform::DebuggerAttached()) return;
  char text[16];
  std::snprintf(text, sizeof text, "BP%x", static_cast<uint32_t>(number));
  // The debugger needs the mouse back.
  if (InputObject && InputObject->mouseDevice) platform::SetRelativeMode(false);
  platform::DebuggerWrite(text);
  PauseFlag = 0;
  if (InputObject) ReadKeyboardAndMice(*InputObject);
  ReactivateRequest = 1;
}

void ResetFrameServicesForTests() {
  DebugFlag = 0;
  MainWindowHandle = 0;
  CaptionTextRelease();
}
