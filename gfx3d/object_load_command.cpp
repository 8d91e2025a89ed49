// LoadObject over the object loader.
#include "gfx3d/object_load_command.h"

#include <string>

#include "core/last_error.h"
#include "gfx2d/command_checks.h"
#include "gfx3d/object_loading.h"
#include "gfx3d/scene_command_checks.h"

void LoadObject(const Str& name, int32_t object) {
  ClearLastError();
  Rainbows3D* scene = SceneToFillObject(object);
  if (!scene) return;
  LoadObjectFile(*scene, "", object);
  std::string resolved;
  if (ResolveReadName(name, resolved)) LoadObjectFile(*scene, resolved.c_str(), object);
}
