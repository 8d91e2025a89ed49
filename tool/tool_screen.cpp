// The tool's drawing table and the throttled progress step.
#include "tool/tool_screen.h"

#include <limits>

#include "core/number_text.h"
#include "system/timers.h"

namespace {

constexpr double kProgressFrameMs = 16.0;

ToolScreen gScreen{};
double gLastProgressFrame = -std::numeric_limits<double>::infinity();

bool ProgressFrameDue(bool last) {
  const double now = GetTimerAll();
  if (!last && now - gLastProgressFrame < kProgressFrameMs) return false;
  gLastProgressFrame = now;
  return true;
}

}  // namespace

void InstallToolScreen(const ToolScreen& screen) {
  gScreen = screen;
}

const ToolScreen& CurrentToolScreen() {
  return gScreen;
}

void PrintToolText(const Str& text, double x, double y) {
  if (gScreen.printText) gScreen.printText(text, x, y);
}

void PrintToolText(const char* text, double x, double y) {
  Str line;
  StrFromCString(line, text);
  PrintToolText(line, x, y);
  StrRelease(line);
}

double AskToolNumber(int32_t x, int32_t y) {
  double answer = 0;
  if (gScreen.inputNumber) gScreen.inputNumber(&answer, x, y, 0);
  return answer;
}

int32_t ProgressBarWidth(double done, double total) {
  return TruncToI32(done / total * 640);
}

void ProgressStep(const char* text, const ProgressBar* bar, bool last) {
  if (!gScreen.showScreen || !ProgressFrameDue(last)) return;
  if (text) PrintToolText(text, 0, 0);
  if (bar && gScreen.drawRect) gScreen.drawRect(0, bar->y, bar->width, bar->height, bar->colour);
  gScreen.showScreen();
}

void ResetToolScreenForTests() {
  gScreen = ToolScreen{};
  gLastProgressFrame = -std::numeric_limits<double>::infinity();
}
