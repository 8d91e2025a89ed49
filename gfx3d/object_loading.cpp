// Model and scene files into object slots.
#include "gfx3d/object_loading.h"

#include <cstring>

#include "frame/graphics_context.h"
#include "gfx2d/rgba_image.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/model_building.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "gfx3d/scene_file_loading.h"
#include "system/file_stream.h"

namespace {

enum class FileKind { Missing, Model, Scene };

// A scene file is an INI file whose first line is a comment beginning with this tag. A file
// shorter than the tag is a (broken) model file.
FileKind KindOfFile(const char* name) {
  static constexpr char kSceneTag[4] = {';', 'K', 'M', 'W'};
  FileStream stream;
  if (!FileStreamOpen(stream, name)) return FileKind::Missing;
  char head[sizeof kSceneTag];
  const bool tagged = FileStreamReadExact(stream, head, sizeof head) &&
                      std::memcmp(head, kSceneTag, sizeof head) == 0;
  return tagged ? FileKind::Scene : FileKind::Model;
}

int32_t TransparentColour(const Rainbows3D& scene) {
  return scene.context ? int32_t(scene.context->transparentColour) : kNoTransparentColour;
}

// The model becomes the slot's one part. The reader supplies the colour table and the normals;
// only the triangle lists and the bounds are left to make.
bool LoadModelPart(ObjectSlot& slot, const char* name) {
  if (!slot.parts.Append(MeshObjectX{})) return false;
  MeshObjectX& part = slot.parts[0];
  if (!LoadKmoModel(part, name) || part.frames.empty() || part.frames[0].buildStream.empty()) {
    return false;
  }
  slot.inUse = 1;
  slot.severalParts = 0;
  TriangulateBuildStream(part);
  ComputeFrameBounds(part);
  return true;
}

}  // namespace

uint32_t LoadObjectFile(Rainbows3D& scene, const char* name, int32_t object) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot) return 0;
  // The builder would otherwise go on adding vertices to whatever is loaded here.
  if (BuildObjectIndex == object) BuildObjectIndex = -1;
  EmptyObjectSlot(*slot, true);
  switch (KindOfFile(name)) {
    case FileKind::Missing:
      return 0;
    case FileKind::Scene:
      return uint32_t(LoadScene(name, *slot, TransparentColour(scene)));
    case FileKind::Model:
      break;
  }
  if (LoadModelPart(*slot, name)) return 1;
  EmptyObjectSlot(*slot, true);
  return 0;
}
