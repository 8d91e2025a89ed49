// The viewer's frame: the 3D scene, the spin, the frame-rate text.
#include "tool/model_viewer.h"

#include "core/number_text.h"
#include "frame/frame_cycle.h"
#include "frame/input_commands.h"
#include "gfx2d/draw_commands.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/model_commands.h"
#include "gfx3d/scene_draw_commands.h"
#include "gfx3d/transform_commands.h"
#include "tool/tool_globals.h"
#include "tool/tool_hooks.h"

namespace {

constexpr int32_t kKeyEscape = 1;
constexpr int32_t kKeyMinus = 12;
constexpr int32_t kKeyEquals = 13;
constexpr double kSpinSpeedStep = 0.005;
constexpr double kViewObjectStep = 0.01;

void DrawViewerFrame(double& spinSpeed) {
  ToolState& g = ToolGlobals;
  Begin3DMode(1, 1024, 45);
  SetCamera(0, 8, 24, 0, 8, 0);
  SetCullMode(1);
  StepViewerState(spinSpeed, KeyDown(kKeyMinus) != 0, KeyDown(kKeyEquals) != 0);
  SetModelTexture(kViewerTextureSprite, -1);
  // Image rows run downward: the half turn about z stands the model upright.
  SetMovement(0, 8, -g.GridSizeY);
  AddRotation(g.SpinAngle, 0, 1, 0);
  AddRotation(180, 0, 0, 1);
  DrawObject3D(TruncToI32(g.ViewObject), 0);
  ShowFPS();
  ShowScreen(1);
  if (KeyDown(kKeyEscape)) g.QuitViewer = 1;
}

}  // namespace

void StepViewerState(double& spinSpeed, bool slower, bool faster) {
  ToolState& g = ToolGlobals;
  if (slower) spinSpeed -= kSpinSpeedStep;
  if (faster) spinSpeed += kSpinSpeedStep;
  if (g.SpinAngle >= 360) {
    g.SpinAngle = 0;
  } else {
    g.SpinAngle += spinSpeed;
  }
  if (g.ViewObject >= g.ObjectCount) {
    g.ViewObject = 1;
  } else {
    g.ViewObject += kViewObjectStep;
  }
}

void RunModelViewer() {
  // Set only now, after the model file was saved with the smooth normals it holds.
  SetNormalMode(1);
  SetSpriteSmoothingCmd(0);
  ToolGlobals.QuitViewer = 0;
  double spinSpeed = 1.0;
  while (ToolGlobals.QuitViewer == 0) DrawViewerFrame(spinSpeed);
}
