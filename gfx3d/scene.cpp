// The scene's life: the 4096 slots made once, and every GL object of slots and shader slots
// deleted when the scene goes.
#include "gfx3d/scene.h"

#include <GL/gl.h>

#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"

SceneTextures SceneTextureChoice;

Rainbows3D::Rainbows3D(OpenGLRainbows* ctx) : context(ctx) {
  // Reserved in one block so slots never move: callers keep slot references across calls.
  objects.ReserveExact(kObjectSlots);
  for (int32_t i = 0; i < kObjectSlots; ++i) objects.Append(ObjectSlot{});
  if (ctx) ctx->scene = this;
}

Rainbows3D::~Rainbows3D() {
  for (int32_t i = objects.count() - 1; i >= 0; --i) EmptyObjectSlot(objects[i], true);
  objects.Clear(true);
  for (int32_t n = 0; n < kShaderSlots; ++n) DeleteShaderSlot(*this, n);
  if (context && context->scene == this) context->scene = nullptr;
}

Rainbows3D* Rainbows3DConstruct(OpenGLRainbows& ctx) {
  return new Rainbows3D(&ctx);
}

void Rainbows3DDelete(Rainbows3D* scene) {
  delete scene;
}

ObjectSlot* FindObjectSlot(Rainbows3D& scene, int32_t object) {
  if (object < 0 || object >= scene.objects.count()) return nullptr;
  return &scene.objects[object];
}

void DeleteSlotTextures(ObjectSlot& slot) {
  if (!slot.textures.empty()) glDeleteTextures(slot.textures.count(), slot.textures.data());
  slot.textures.Clear(false);
}

void EmptyObjectSlot(ObjectSlot& slot, bool freeStorage) {
  for (MeshObjectX& part : slot.parts) ClearMeshObjectX(part, freeStorage);
  slot.parts.Clear(freeStorage);
  slot.inUse = 0;
  slot.severalParts = 0;
  DeleteSlotTextures(slot);
  slot.textures.Clear(freeStorage);
  slot.parts.SetGrowth(1, 1);
  slot.textures.SetGrowth(1, 1);
}

void DeleteShaderSlot(Rainbows3D& scene, int32_t slot) {
  if (slot < 0 || slot >= kShaderSlots || !GlExtensionTable.glDeleteObjectARB) return;
  ShaderSlot& record = scene.shaderSlots[slot];
  for (uint32_t object : {record.program, record.vertexShader, record.fragmentShader}) {
    if (object != 0) GlExtensionTable.glDeleteObjectARB(object);
  }
  record = ShaderSlot{};
}
