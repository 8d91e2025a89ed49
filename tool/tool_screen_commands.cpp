// The tool's screen table over the runtime's 2D and 3D commands, frame cycle and on-screen input.
#include "tool/tool_screen_commands.h"

#include "frame/frame_cycle.h"
#include "frame/text_input.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/mode_commands.h"

namespace {

void PrintFixedText(const Str& text, double x, double y) {
  PrintText(text, x, y, 0);
}

void DrawToolRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
  DrawRect(x, y, width, height, static_cast<int32_t>(colour));
}

void ShowToolFrame() {
  ShowScreen(1);
}

}  // namespace

ToolScreen RuntimeToolScreen() {
  ToolScreen screen{};
  screen.printText = PrintFixedText;
  screen.drawRect = DrawToolRect;
  screen.showScreen = ShowToolFrame;
  screen.end3DMode = End3DMode;
  screen.frameTime = GetTimer;
  screen.inputNumber = InputNumber;
  return screen;
}
