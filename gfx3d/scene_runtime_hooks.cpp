// The 3D scene's part of the runtime's start-up, quit sequence and frame end, installed into the
// frame's hooks: the scene is made after the graphics context and deleted while the context still
// exists; every frame end leaves the shadow pass, drops the second texture and returns to the
// fixed pipeline.
#include "frame/cycle_services.h"
#include "frame/runtime_hooks.h"
#include "gfx3d/scene.h"
#include "gfx3d/shader_slots.h"
#include "gfx3d/shadow_pass.h"

namespace {

void ShadowPassHook(Rainbows3D* scene, int32_t on) {
  if (scene) SetShadowPass(*scene, on);
}

void SecondTextureHook(int32_t flag) {
  SceneTextureChoice.secondTextureFlag = flag;
}

void ShaderSlotHook(Rainbows3D* scene, int32_t slot) {
  if (scene) UseShaderSlot(*scene, slot);
}

bool InstallSceneHooks() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks& shutdown) {
    startup.makeScene = Rainbows3DConstruct;
    shutdown.deleteScene = Rainbows3DDelete;
  });
  InstallSceneCycleHooks({ShadowPassHook, SecondTextureHook, ShaderSlotHook});
  return true;
}

}  // namespace

// The frame cannot name this layer; the link flag in gfx3d/CMakeLists.txt keeps this object in
// every program linked with the library.
extern "C" const bool qrn_gfx3d_scene_hooks_installed = InstallSceneHooks();
