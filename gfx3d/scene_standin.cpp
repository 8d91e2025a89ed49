// The scene's construction as far as the transforms and queries need it: the 4096 empty slots and
// the link with the graphics context. Releasing GL objects of slots and shader slots comes with
// the rest of the scene object.
#include "gfx3d/scene.h"

#include "frame/graphics_context.h"

Rainbows3D::Rainbows3D(OpenGLRainbows* ctx) : context(ctx) {
  objects.Reserve(kObjectSlots);
  for (int32_t i = 0; i < kObjectSlots; ++i) objects.Append(ObjectSlot{});
  if (ctx) ctx->scene = this;
}

Rainbows3D::~Rainbows3D() {
  if (context && context->scene == this) context->scene = nullptr;
}

ObjectSlot* FindObjectSlot(Rainbows3D& scene, int32_t object) {
  if (object < 0 || object >= scene.objects.count()) return nullptr;
  return &scene.objects[object];
}
