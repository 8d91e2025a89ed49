// What the tool's screens draw and ask with, and the one progress step of its long loops. The
// program installs the runtime's commands here; while none are installed (the writers and the
// scan run headless in tests) nothing is drawn, no frame is shown and no answer is typed.
#pragma once

#include <cstdint>

#include "core/str.h"

struct ToolScreen {
  void (*printText)(const Str& text, double x, double y);  // fixed-width text
  void (*drawRect)(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
  void (*showScreen)();
  void (*end3DMode)();
  double (*frameTime)();  // milliseconds of the last frame
  // The on-screen line editor: the typed number, read at (x, y) when Enter ends the line.
  void (*inputNumber)(double* value, int32_t x, int32_t y, int32_t proportional);
};

void InstallToolScreen(const ToolScreen& screen);
const ToolScreen& CurrentToolScreen();
void PrintToolText(const Str& text, double x, double y);
void PrintToolText(const char* text, double x, double y);
// The answer typed at (x, y) in fixed-width text; 0 while nothing can be typed.
double AskToolNumber(int32_t x, int32_t y);

struct ProgressBar {
  int32_t y;
  int32_t height;
  int32_t width;
  uint32_t colour;
};
inline constexpr uint32_t kProgressBarColour = 0x6464;
inline constexpr uint32_t kVoxProgressBarColour = 0x6400;

// Width of a bar that is `done` of `total` across the 640-pixel screen.
int32_t ProgressBarWidth(double done, double total);

// One step of a progress screen. Showing a frame per step would take hours on a large model,
// so a step is shown only when 16 ms have passed since the last progress frame shown, and
// always when it is the loop's last. Shown: the text at (0, 0) (none when null), the bar (none
// when null), then the frame ends. A step not shown draws nothing, so texts never pile up on a
// frame that was not cleared.
void ProgressStep(const char* text, const ProgressBar* bar, bool last);
// The two halves of a step, for a loop whose text costs something to make: whether this step
// shows a frame, and the frame itself.
bool ProgressFrameDue(bool last);
void ShowProgressFrame(const char* text, const ProgressBar* bar);

void ResetToolScreenForTests();
