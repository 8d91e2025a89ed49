// What the frame does for the layers a program may leave out of its list: without a 3D layer
// there is no scene and a frame end has no shadow pass, second texture or shader slot to leave;
// without the network layer there is no record. The 2D layer is never absent: a program that
// does not list it is refused before start-up (frame/program_entry.h), so its fields stay empty.
#include "frame/cycle_services.h"
#include "frame/runtime_hooks.h"

namespace {

Rainbows3D* NoScene(OpenGLRainbows&) {
  return nullptr;
}
void NoNetworkState() {}

void NoNetworkToRelease() {}
void NoSceneToDelete(Rainbows3D*) {}

void NoShadowPass(Rainbows3D*, int32_t) {}
void NoSecondTexture(int32_t) {}
void NoShaderSlot(Rainbows3D*, int32_t) {}

}  // namespace

StartupHooks AbsentLayerStartupHooks() {
  return {NoScene, NoNetworkState, nullptr, nullptr, nullptr};
}

ShutdownHooks AbsentLayerShutdownHooks() {
  return {NoNetworkToRelease, NoSceneToDelete};
}

SceneCycleHooks AbsentSceneCycleHooks() {
  return {NoShadowPass, NoSecondTexture, NoShaderSlot};
}
