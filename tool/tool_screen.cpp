// The tool's drawing table and the throttled progress step.
#include "tool/tool_screen.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "system/timers.h"

namespace {

constexpr double kProgressFrameMs = 16.0;
constexpr int64_t kLongestClockStride = 4096;

ToolScreen gScreen{};

// Reading the clock at every one of millions of steps costs more than the steps themselves, so
// the clock is read again only after about as many steps as should fill the time still missing
// to the next frame, judged by the pace of the steps since the last reading. A loop's last step
// ends its pacing: the next loop's steps may be a thousand times slower or faster.
struct ProgressClock {
  double lastFrame = -std::numeric_limits<double>::infinity();
  double lastReading = std::numeric_limits<double>::quiet_NaN();  // none yet in this loop
  int64_t stepsSinceReading = 0;
  int64_t stride = 1;

  bool FrameDue(bool last) {
    if (!last && ++stepsSinceReading < stride) return false;
    const double now = GetTimerAll();
    const double pace = std::isnan(lastReading) ? std::numeric_limits<double>::infinity()
                                                : (now - lastReading) / double(std::max<int64_t>(stepsSinceReading, 1));
    lastReading = now;
    stepsSinceReading = 0;
    const bool due = last || now - lastFrame >= kProgressFrameMs;
    if (due) lastFrame = now;
    if (last) {
      *this = ProgressClock{lastFrame};
    } else {
      stride = NextStride(kProgressFrameMs - (now - lastFrame), pace);
    }
    return due;
  }

  int64_t NextStride(double missingMs, double pace) const {
    if (!(pace > 0)) return std::min(stride * 2, kLongestClockStride);
    const double steps = missingMs / pace;
    return steps < 1 ? 1 : int64_t(std::min(steps, double(kLongestClockStride)));
  }
};

ProgressClock gProgressClock;

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

bool ProgressFrameDue(bool last) {
  return gScreen.showScreen && gProgressClock.FrameDue(last);
}

void ProgressStep(const char* text, const ProgressBar* bar, bool last) {
  if (ProgressFrameDue(last)) ShowProgressFrame(text, bar);
}

void ShowProgressFrame(const char* text, const ProgressBar* bar) {
  if (text) PrintToolText(text, 0, 0);
  if (bar && gScreen.drawRect) gScreen.drawRect(0, bar->y, bar->width, bar->height, bar->colour);
  gScreen.showScreen();
}

void ResetToolScreenForTests() {
  gScreen = ToolScreen{};
  gProgressClock = ProgressClock{};
}
