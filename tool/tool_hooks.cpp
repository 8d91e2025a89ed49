// The tool's named routines, its channel hook, the frame-rate display and the unused helpers.
#include "tool/tool_hooks.h"

#include "core/number_text.h"
#include "core/str_value.h"
#include "system/file_commands.h"
#include "tool/image_scan.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"
#include "tool/tool_screen_commands.h"

const UserFunctionEntry ToolUserFunctions[3] = {
    {ShowFPS, "ShowFPS"}, {clear_object, "clear_object"}, {nullptr, nullptr}};

void InstallToolHooks() {
  SetUserFunctionTable(ToolUserFunctions);
  SetToolEmptyHook(ToolEmptyHook);
  InstallToolScreen(RuntimeToolScreen());
}

void ToolEmptyHook() {}

void AdvanceFpsDisplay(double frameTime) {
  ToolState& g = ToolGlobals;
  g.FrameTime = frameTime;
  g.FpsAverage = (1000 / g.FrameTime + g.FpsAverage) * 0.5;
  g.FpsTimeSum += g.FrameTime;
  if (g.FpsTimeSum > 1000) {
    g.ShownFps = g.FpsAverage;
    g.FpsTimeSum = 0;
  }
}

void ShowFPS() {
  const ToolScreen& screen = CurrentToolScreen();
  if (screen.end3DMode) screen.end3DMode();
  if (screen.frameTime) AdvanceFpsDisplay(screen.frameTime());
  PrintToolText(StrValue("FPS: ") + ToolGlobals.ShownFps, 0, 0);
}

double ToolColorComponent(double colour, double part) {
  const int32_t packed = TruncToI32(colour);
  if (part == 0) return packed & 255;
  if (part == 1) return TruncToI32(colour / 256) & 255;
  if (part == 2) return TruncToI32(colour / 65536) & 255;
  return 0;
}

double ToolDirectionTest(double, double, double) {
  return 0;
}

double ToolVoxelTest(double value, double, double, double) {
  return value;
}
