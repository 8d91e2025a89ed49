// The installed cycle services: what the layers above install, and the music restart.
#include "frame/cycle_services.h"

#include "frame/music_player.h"

namespace {

CycleServices& Installed() {
  static CycleServices services = CycleStandIns();
  return services;
}

BackgroundPictureFunction& BackgroundPictureDrawing() {
  static BackgroundPictureFunction function = nullptr;
  return function;
}

SceneCycleHooks& SceneHooks() {
  static SceneCycleHooks hooks = AbsentSceneCycleHooks();
  return hooks;
}

}  // namespace

void InstallBackgroundPictureDrawing(BackgroundPictureFunction drawBackgroundPicture) {
  BackgroundPictureDrawing() = drawBackgroundPicture;
  Installed().drawBackgroundPicture = drawBackgroundPicture;
}

BackgroundPictureFunction InstalledBackgroundPictureDrawing() {
  return BackgroundPictureDrawing();
}

void InstallSceneCycleHooks(const SceneCycleHooks& hooks) {
  SceneHooks() = hooks;
  Installed().setShadowPass = hooks.setShadowPass;
  Installed().setSecondTextureFlag = hooks.setSecondTextureFlag;
  Installed().useShaderSlot = hooks.useShaderSlot;
}

CycleServices CycleStandIns() {
  const SceneCycleHooks& scene = SceneHooks();
  return {BackgroundPictureDrawing(), scene.setShadowPass, scene.setSecondTextureFlag,
          scene.useShaderSlot, RestartLoopingMusic};
}

const CycleServices& Cycle() {
  return Installed();
}

void InstallCycleServices(const CycleServices& services) {
  Installed() = services;
}
