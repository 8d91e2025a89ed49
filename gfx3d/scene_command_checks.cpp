// The object-number and scene checks shared by the 3D commands.
#include "gfx2d/sprite_batch.h"
#include "gfx3d/scene_command_checks.h"

#include "core/last_error.h"
#include "frame/runtime_objects.h"
#include "gfx3d/scene.h"

Rainbows3D* CommandScene() {
  FlushSpriteBatch();
  return SceneObject;
}

Rainbows3D* SceneForObject(int32_t object) {
  FlushSpriteBatch();
  Rainbows3D* scene = SceneObject;
  return scene && FindObjectSlot(*scene, object) ? scene : nullptr;
}

Rainbows3D* SceneToFillObject(int32_t object) {
  FlushSpriteBatch();
  if (object < 0 || object >= kObjectSlots) {
    SetLastErrorCode(kErrorBadObjectNumber);
    return nullptr;
  }
  return SceneObject;
}

ObjectSlot* UsedSlot(int32_t object) {
  FlushSpriteBatch();
  Rainbows3D* scene = SceneObject;
  ObjectSlot* slot = scene ? FindObjectSlot(*scene, object) : nullptr;
  return slot && slot->inUse ? slot : nullptr;
}

Vec3 PointFromNumbers(double x, double y, double z) {
  return {Narrow(x), Narrow(y), Narrow(z)};
}
