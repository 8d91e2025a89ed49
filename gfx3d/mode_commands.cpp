// Entering and leaving 3D drawing and the scene's drawing settings.
#include "gfx3d/mode_commands.h"

#include "frame/render_state.h"
#include "frame/runtime_objects.h"
#include "gfx2d/texture_binding.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/scene.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/shader_commands.h"
#include "gfx3d/shader_slots.h"
#include "gfx3d/shadow_pass.h"

namespace {

int32_t gKeptCullMode = 0;

// A current shader reads the two texture units through these samplers.
void PointShaderAtTextureUnits(Rainbows3D& scene) {
  if (scene.currentShaderSlot < 0) return;
  SetShaderUniformInt(scene, "TextureID1", 0, ShaderLogCallback);
  SetShaderUniformInt(scene, "TextureID2", 1, ShaderLogCallback);
}

void BindAndFilterSceneTextures(Rainbows3D& scene) {
  BindSceneTextures();
  if (GraphicsContext) ApplySpriteFilter(*GraphicsContext);
  PointShaderAtTextureUnits(scene);
}

}  // namespace

void Begin3DMode(double nearClip, double farClip, double fov) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  EndShadowsClearDepth(*scene);
  Begin3DScene(*scene, Narrow(nearClip), Narrow(farClip), Narrow(fov));
  gKeptCullMode = 0;
  ApplyCullMode(*scene, 0);
  scene->lightMask = 0;
  scene->shadowLightOn = 0;
  SceneTextureChoice.unit0Sprite = -1;
  SceneTextureChoice.unit1Sprite = -1;
  BindAndFilterSceneTextures(*scene);
}

void End3DMode() {
  if (Rainbows3D* scene = CommandScene()) SetShadowPass(*scene, 0);
  if (GraphicsContext) ResetRenderState(*GraphicsContext);
}

void SetSecondTextureFlag(int32_t flag) {
  SceneTextureChoice.secondTextureFlag = flag;
}

void SetModelTexture(int32_t spriteA, int32_t spriteB) {
  SceneTextureChoice.unit0Sprite = spriteA;
  SceneTextureChoice.unit1Sprite = spriteB;
  if (Rainbows3D* scene = CommandScene()) BindAndFilterSceneTextures(*scene);
}

void SetUvOffset3D(double u, double v) {
  if (Rainbows3D* scene = CommandScene()) {
    SetTextureOffset3D(*scene, Narrow(u), Narrow(v));
  }
}

void SetCullMode(int32_t n) {
  gKeptCullMode = n == 0 ? 0 : (n < 1 ? -1 : 1);
  if (Rainbows3D* scene = CommandScene()) ApplyCullMode(*scene, gKeptCullMode);
}

void SetDepthTestCmd(int32_t on) {
  if (CommandScene()) SetDepthTest(on != 0);
}

void EndShadowsCmd() {
  if (Rainbows3D* scene = CommandScene()) EndShadowsClearDepth(*scene);
}

void SetSphereMapping(int32_t on) {
  if (Rainbows3D* scene = CommandScene()) scene->sphereMapping = on != 0 ? 1 : 0;
}

int32_t KeptCullMode() {
  return gKeptCullMode;
}

void BindSceneTextures() {
  if (!GraphicsContext) return;
  BindSpriteTextures(*GraphicsContext, SceneTextureChoice.unit0Sprite,
                     SceneTextureChoice.unit1Sprite, SceneTextureChoice.secondTextureFlag, nullptr);
}

void ResetModeCommandsForTests() {
  gKeptCullMode = 0;
  SceneTextureChoice = SceneTextures{};
}
