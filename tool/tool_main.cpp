// The tool's road from the first screen to the viewer.
#include "tool/tool_main.h"

#include "core/number_text.h"
#include "core/str_value.h"
#include "core/user_functions.h"
#include "frame/frame_cycle.h"
#include "frame/screen_mode_commands.h"
#include "frame/text_input.h"
#include "frame/waits.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/model_commands.h"
#include "platform/large_blocks.h"
#include "system/filesystem_commands.h"
#include "tool/face_generation.h"
#include "tool/image_scan_command.h"
#include "tool/model_viewer.h"
#include "tool/obj_mtl_writers.h"
#include "tool/project_settings.h"
#include "tool/strip_bands.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"
#include "tool/vox_writer.h"

namespace {

// Font numbers run to 31: loading into 99 fills the current font, and selecting 99 keeps it.
constexpr int32_t kToolFont = 99;
constexpr double kModelObject = 1;
constexpr int32_t kAnswerY = 30;

void ShowAndWait() {
  ShowScreen(1);
  WaitForKey();
}

void SetUpTool() {
  // The model's lists grow to hundreds of megabytes on large strips.
  platform::MapLargeBlocksApart();
  InitToolGlobals();
  MakeToolArrays();
  ChangeScreenMode(kToolProjectSettings.screenWidth, kToolProjectSettings.screenHeight, 0);
  SetFrameRateCmd(0, 0);
  LoadFont(StrValue("sysfont.png"), kToolFont);
  LoadSprite(StrValue("blank.png"), kViewerTextureSprite);
  SetFont(kToolFont);
  SetAutoPause(0);
  // The scan reads tiles back pixel for pixel, which filtering would blur.
  SetSpriteSmoothingCmd(0);
  End3DMode();
  PrintToolText("Make sure you are running a 16bit color mode!", 0, 0);
}

// The line editor edits from the text it is given: each question starts from an empty answer,
// so a name asked again never grows from the one refused.
void AskText(const char* question, StrValue& answer) {
  PrintToolText(question, 0, 0);
  answer = "";
  InputString(answer.str(), 0, kAnswerY, 0);
}

void AskImageName() {
  ToolState& g = ToolGlobals;
  for (;;) {
    ShowAndWait();
    g.TransparentColor = 0;
    AskText("Enter local image name w/ ext. (.PNG,.BMP)", g.ImageFileName);
    const char* refusal = ImageNameRefusal(g.ImageFileName);
    if (!refusal) return;
    PrintToolText(refusal, 0, 0);
  }
}

void ShowSummary() {
  const ToolState& g = ToolGlobals;
  PrintToolText(StrValue(g.GridSizeX) + "x, " + g.GridSizeY + "y, " + g.GridSizeZ + "z", 0, 90);
  PrintToolText(StrValue(g.PaletteCount) + " colors", 0, 110);
  PrintToolText("Press enter to make vox file.", 0, 120);
  ShowAndWait();
}

void ShowDisplayWarning() {
  PrintToolText("Vox file created.  Press enter for display.", 0, 80);
  PrintToolText("*warning* generating display may freeze on", 0, 90);
  PrintToolText("larger models, press ESC to quit if your", 0, 100);
  PrintToolText("computer is old, slow and/or onboard video.", 0, 110);
  ShowAndWait();
}

void AskReduceFaces() {
  PrintToolText("Reduce model faces?  0=no, 1=yes", 0, 0);
  PrintToolText("This may distrort normals, smaller file", 0, 20);
  ToolGlobals.ReduceFaces = AskToolNumber(0, 40);
}

}  // namespace

// The file is decoded but not kept: the scan loads only what its answers' tiles reach.
const char* ImageNameRefusal(const Str& name) {
  if (!FileExists(name)) return "No such file...";
  return StripUsableInBands(name) ? nullptr : "Cannot load image...";
}

int32_t ToolMain() {
  ToolState& g = ToolGlobals;
  SetUpTool();
  AskImageName();
  AskText("Enter output name w/o ext.", g.OutputName);
  clear_object();
  ScanImageToVoxels(StrValue(g.ImageFileName));
  ShowSummary();
  WriteVoxFile();
  ShowDisplayWarning();
  AskReduceFaces();
  const bool hasFaces = BuildFaces(kModelObject);
  // Nothing reads the voxels once the faces are made.
  ReleaseVoxels();
  FinishFaces(StrValue(g.OutputName), kModelObject, hasFaces);
  // Saved, the model is only drawn from now on.
  ReleaseModelBuildStreams(TruncToI32(kModelObject));
  WriteObjFile();
  // Written out, the OBJ lists are only weight beside the viewer's model.
  EmptyObjLists();
  WriteMtlFile();
  RunModelViewer();
  EndLoopAndExit();
  return 0;
}
