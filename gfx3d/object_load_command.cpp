// LoadObject over the object loader.
#include "gfx3d/object_load_command.h"

#include <string>

#include "core/last_error.h"
#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx3d/object_loading.h"
#include "gfx3d/scene.h"

void LoadObject(const Str& name, int32_t object) {
  constexpr int32_t kErrorBadNumber = 7;
  ClearLastError();
  if (object < 0 || object >= kObjectSlots) {
    SetLastErrorCode(kErrorBadNumber);
    return;
  }
  if (!SceneObject) return;
  LoadObjectFile(*SceneObject, "", object);
  std::string resolved;
  if (ResolveReadName(name, resolved)) LoadObjectFile(*SceneObject, resolved.c_str(), object);
}
