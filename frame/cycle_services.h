// The calls the frame cycle makes into the layers above the frame: the 2D background picture,
// the 3D scene's shadow pass, second texture and shader slot, and the restart of looping music.
// Those layers install their functions here once, when the program's entry lists them
// (frame/program_entry.h). The music restart is the frame's own (frame/music_player.h); it sits in the table so
// that tests can put a probe in its place.
#pragma once

#include <cstdint>

class OpenGLRainbows;
class Rainbows3D;

using BackgroundPictureFunction = void (*)(OpenGLRainbows& ctx, int32_t n);
using SceneShadowPassFunction = void (*)(Rainbows3D* scene, int32_t on);

struct CycleServices {
  // Fills the frame with background picture n instead of clearing it.
  BackgroundPictureFunction drawBackgroundPicture;
  // Opens (1) or closes (0) the scene's shadow pass; the scene may be null.
  SceneShadowPassFunction setShadowPass;
  void (*setSecondTextureFlag)(int32_t flag);
  // -1 goes back to the fixed pipeline; the scene may be null.
  void (*useShaderSlot)(Rainbows3D* scene, int32_t slot);
  // Plays the looping music again from its start; answers the music's length in milliseconds
  // (0 when there is no music to play).
  double (*restartLoopingMusic)();
};

const CycleServices& Cycle();
void InstallCycleServices(const CycleServices& services);
// The 2D layer installs its picture drawing and the 3D layer the scene's calls once at start-up;
// CycleStandIns keeps them.
void InstallBackgroundPictureDrawing(BackgroundPictureFunction drawBackgroundPicture);
BackgroundPictureFunction InstalledBackgroundPictureDrawing();
struct SceneCycleHooks {
  SceneShadowPassFunction setShadowPass;
  void (*setSecondTextureFlag)(int32_t flag);
  void (*useShaderSlot)(Rainbows3D* scene, int32_t slot);
};
void InstallSceneCycleHooks(const SceneCycleHooks& hooks);
// What a frame end does without a 3D layer: nothing (frame/runtime_hooks_absent_layers.cpp).
SceneCycleHooks AbsentSceneCycleHooks();
// The installed table, for tests that installed something else: the 2D layer's picture drawing,
// the 3D layer's calls and the real music restart.
CycleServices CycleStandIns();
