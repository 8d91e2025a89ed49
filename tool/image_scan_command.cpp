// The scan's questions and the scan run on the screen.
#include "tool/image_scan_command.h"

#include "gfx2d/background_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "frame/runtime_objects.h"
#include "tool/scan_tile_drawing.h"
#include "tool/strip_bands.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kAnswerY = 20;

double Ask(const char* question) {
  PrintToolText(question, 0, 0);
  return AskToolNumber(0, kAnswerY);
}

// A box needs at least one cell on every axis: an answer below 1 (or no number) is asked again.
// Headless, with nothing to type, the question is asked once.
double AskSize(const char* question) {
  double answer = Ask(question);
  while (!(answer >= 1) && CurrentToolScreen().inputNumber) answer = Ask(question);
  return answer;
}

}  // namespace

ScanAnswers AskScanQuestions() {
  ScanAnswers a;
  a.custom = Ask("Custom transparent? (black is default)");
  if (a.custom != 0) {
    a.red = Ask("Enter red value (0-255)");
    a.green = Ask("Enter green value (0-255)");
    a.blue = Ask("Enter blue value (0-255)");
  }
  PrintToolText("Image Read Type", 0, 0);
  PrintToolText("0 = horizontal, 1 = vertical", 0, 20);
  a.readType = AskToolNumber(0, 40);
  a.width = AskSize("Enter width, 8-255");
  a.height = AskSize("Enter height, 8-255");
  a.layers = AskSize("Enter layers 1-255");
  a.mirror = Ask("Mirror?(1=yes, 0=no)");
  return a;
}

double ScanImageToVoxels(const Str& fileName) {
  const ScanAnswers answers = AskScanQuestions();
  ApplyTransparentAnswer(answers);
  EndScanWhenTooBig(answers);
  ClearScreen(0);
  StripBands bands;
  if (GraphicsContext && bands.Load(*GraphicsContext, fileName, answers)) {
    ScanTilesIntoVoxels(answers, bands.Width(), bands.Height(),
                        ScreenTileReader(answers, [&bands](double tile) {
                          return bands.ShowTile(tile);
                        }));
    // The first band stays drawn in the strip's place.
    bands.ShowTile(0);
  } else {
    ScanTilesIntoVoxels(answers, 0, 0, ScreenTileReader(answers));
  }
  DrawSpriteCmd(kStripSprite, 0, 0);
  return 0;
}
