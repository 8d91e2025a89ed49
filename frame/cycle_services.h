// The calls the frame cycle makes into the layers above the frame: the 2D background picture,
// the 3D scene's shadow pass, second texture and shader slot, and the restart of looping music.
// Those layers install their functions here; until they do, stand-ins answer
// (frame/cycle_services_standin.cpp). The scene's three calls have no stand-in: the 3D layer
// installs them in every program linked with the library. The music restart is the frame's own
// (frame/music_player.h); it sits in the table so that tests can put a probe in its place.
#pragma once

#include <cstdint>

class OpenGLRainbows;
class Rainbows3D;

using SceneShadowPassFunction = void (*)(Rainbows3D* scene, int32_t on);

struct CycleServices {
  // Fills the frame with background picture n instead of clearing it.
  void (*drawBackgroundPicture)(OpenGLRainbows& ctx, int32_t n);
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
// The scene's calls, which the 3D layer installs once at start-up; CycleStandIns keeps them.
struct SceneCycleHooks {
  SceneShadowPassFunction setShadowPass;
  void (*setSecondTextureFlag)(int32_t flag);
  void (*useShaderSlot)(Rainbows3D* scene, int32_t slot);
};
void InstallSceneCycleHooks(const SceneCycleHooks& hooks);
// The stand-ins, for tests that installed something else, with the 3D layer's calls and the
// real music restart.
CycleServices CycleStandIns();
// The 2D stand-in and the music restart alone; the scene's calls are left null.
CycleServices CycleLayerStandIns();
