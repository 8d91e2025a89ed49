// The scene's part of every frame end: leaving the shadow pass, dropping the second texture and
// returning to the fixed pipeline.
#include "frame/cycle_services.h"
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

bool InstallHooks() {
  InstallSceneCycleHooks({ShadowPassHook, SecondTextureHook, ShaderSlotHook});
  return true;
}

}  // namespace

// The frame cannot name this layer, so the hooks install themselves at start-up; the link flag
// in gfx3d/CMakeLists.txt keeps this object in every program linked with the library.
extern "C" const bool qrn_gfx3d_cycle_hooks_installed = InstallHooks();
