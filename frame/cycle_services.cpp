// The installed cycle services, stand-ins until the layers above replace them.
#include "frame/cycle_services.h"

namespace {

CycleServices& Installed() {
  static CycleServices services = CycleStandIns();
  return services;
}

SceneCycleHooks& SceneHooks() {
  static SceneCycleHooks hooks{};
  return hooks;
}

}  // namespace

void InstallSceneCycleHooks(const SceneCycleHooks& hooks) {
  SceneHooks() = hooks;
  Installed().setShadowPass = hooks.setShadowPass;
  Installed().setSecondTextureFlag = hooks.setSecondTextureFlag;
  Installed().useShaderSlot = hooks.useShaderSlot;
}

CycleServices CycleStandIns() {
  CycleServices services = CycleLayerStandIns();
  services.setShadowPass = SceneHooks().setShadowPass;
  services.setSecondTextureFlag = SceneHooks().setSecondTextureFlag;
  services.useShaderSlot = SceneHooks().useShaderSlot;
  return services;
}

const CycleServices& Cycle() {
  return Installed();
}

void InstallCycleServices(const CycleServices& services) {
  Installed() = services;
}
