// The installed cycle services, stand-ins until the layers above replace them.
#include "frame/cycle_services.h"

namespace {

CycleServices& Installed() {
  static CycleServices services = CycleStandIns();
  return services;
}

BackgroundPictureFunction& BackgroundPictureDrawing() {
  static BackgroundPictureFunction function = nullptr;
  return function;
}

SceneShadowPassFunction& SceneShadowPass() {
  static SceneShadowPassFunction function = nullptr;
  return function;
}

}  // namespace

void InstallBackgroundPictureDrawing(BackgroundPictureFunction drawBackgroundPicture) {
  BackgroundPictureDrawing() = drawBackgroundPicture;
  Installed().drawBackgroundPicture = drawBackgroundPicture;
}

BackgroundPictureFunction InstalledBackgroundPictureDrawing() {
  return BackgroundPictureDrawing();
}

void InstallSceneShadowPass(SceneShadowPassFunction setShadowPass) {
  SceneShadowPass() = setShadowPass;
  Installed().setShadowPass = setShadowPass;
}

SceneShadowPassFunction InstalledSceneShadowPass() {
  return SceneShadowPass();
}

const CycleServices& Cycle() {
  return Installed();
}

void InstallCycleServices(const CycleServices& services) {
  Installed() = services;
}
