// The scan's questions and the scan run on the screen.
#include "tool/image_scan_command.h"

#include "gfx2d/background_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "tool/scan_tile_drawing.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kAnswerY = 20;

double Ask(const char* question) {
  PrintToolText(question, 0, 0);
  return AskToolNumber(0, kAnswerY);
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
  a.width = Ask("Enter width, 8-255");
  a.height = Ask("Enter height, 8-255");
  a.layers = Ask("Enter layers 1-255");
  a.mirror = Ask("Mirror?(1=yes, 0=no)");
  return a;
}

double ScanImageToVoxels(const Str& fileName) {
  const ScanAnswers answers = AskScanQuestions();
  ApplyTransparentAnswer(answers);
  LoadSprite(fileName, kStripSprite);
  EndScanWhenTooBig(answers);
  ClearScreen(0);
  int32_t imageWidth = 0, imageHeight = 0;
  GetSpriteSizeI(kStripSprite, &imageWidth, &imageHeight);
  ScanTilesIntoVoxels(answers, imageWidth, imageHeight, ScreenTileReader(answers));
  DrawSpriteCmd(kStripSprite, 0, 0);
  return 0;
}
