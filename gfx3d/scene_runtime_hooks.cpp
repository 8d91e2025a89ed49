// The 3D scene's part of the runtime's start-up, quit sequence and frame end, installed into the
// frame's hooks: the scene is made after the graphics context and deleted while the context still
// exists; every frame end leaves the shadow pass, drops the second texture and returns to the
// fixed pipeline.
#include "gfx3d/scene_runtime_hooks.h"

#include "frame/cycle_services.h"
#include "frame/runtime_hooks.h"
#include "gfx2d/sprite_batch.h"
#include "gfx3d/scene.h"
#include "gfx3d/shader_slots.h"
#include "gfx3d/shadow_pass.h"

namespace {

void ShadowPassHook(Rainbows3D* scene, int32_t on) {
  FlushSpriteBatch();
  if (scene) SetShadowPass(*scene, on);
}

void SecondTextureHook(int32_t flag) {
  SceneTextureChoice.secondTextureFlag = flag;
}

void ShaderSlotHook(Rainbows3D* scene, int32_t slot) {
  FlushSpriteBatch();
  if (scene) UseShaderSlot(*scene, slot);
}

}  // namespace

void InstallGfx3dLayer() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks& shutdown) {
    startup.makeScene = Rainbows3DConstruct;
    shutdown.deleteScene = Rainbows3DDelete;
  });
  InstallSceneCycleHooks({ShadowPassHook, SecondTextureHook, ShaderSlotHook});
}
