// The scene loader: an INI object read, its textures uploaded and its models loaded as parts.
#include "gfx3d/scene_file_loading.h"

#include <algorithm>
#include <string>

#include "core/str_value.h"
#include "core/text_to_number.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "system/ini_file.h"
#include "system/pack_archive.h"

namespace {

constexpr char kTexturesSection[] = "textures";
constexpr char kObjectsSection[] = "objects";

StrValue Lookup(const IniObject& ini, const char* section, const StrValue& key) {
  return StrValue::Adopt(IniLookup(ini, StrValue(section), key, StrValue("0")));
}

// The scene file's folder with its closing slash; empty for a bare name. A memory name gives
// "mem://", so the names it lists are found in the packed media by their own names.
std::string SceneFolder(const char* name) {
  const std::string text(name);
  const size_t slash = text.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

// The section's "count", held to 0 .. the number of its keys: a file that numbers its entries
// from 1 keeps them all, and a hostile count neither sizes huge lists nor loops for long.
int32_t ListedCount(const IniObject& ini, const char* section) {
  const int32_t found = IniFindSection(ini, StrValue(section));
  if (found < 0) return 0;
  const auto keys = int32_t(std::min<size_t>(ini.sections[size_t(found)].keys.size(), INT32_MAX));
  return std::clamp(StrToInt(Lookup(ini, section, StrValue("count"))), 0, keys);
}

// Entry `number` of the section, in the scene's folder, resolved through the media search;
// empty when it is found nowhere.
std::string ListedFile(const IniObject& ini, const char* section, int32_t number,
                       const std::string& folder) {
  const std::string path = folder + std::string(Lookup(ini, section, StrValue(number)).view());
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, path.c_str(), resolved, true)) resolved.clear();
  return resolved;
}

// The 0-based texture of a part's unit ("ta" or "tb"), -1 when outside the texture list.
int32_t PartTexture(const IniObject& ini, int32_t number, const char* unitKey,
                    int32_t textureCount) {
  int32_t index = StrToInt(Lookup(ini, kObjectsSection, StrValue(number) + unitKey));
  if (index > 0) --index;
  return index >= 0 && index < textureCount ? index : -1;
}

template <class T>
bool AppendNew(GrowArray<T>& list, int32_t n) {
  if (!list.Reserve(n)) return false;
  for (int32_t i = 0; i < n; ++i) list.Append(T{});
  return true;
}

void LoadTextures(const IniObject& ini, const std::string& folder, int32_t transparentColour,
                  ObjectSlot& slot) {
  const int32_t n = ListedCount(ini, kTexturesSection);
  if (!AppendNew(slot.textures, n)) return;
  for (int32_t i = 0; i < n; ++i) {
    const std::string file = ListedFile(ini, kTexturesSection, i + 1, folder);
    RgbaImage image;
    if (file.empty() || !ReadTextureImage(image, file.c_str(), transparentColour, kAnyImageSide)) {
      continue;
    }
    UploadImageToTexture(image, 0, 0, 0, 0, &slot.textures[i], nullptr, false, false);
    ReleaseImage(image);
  }
}

void LoadParts(const IniObject& ini, const std::string& folder, ObjectSlot& slot) {
  const int32_t m = ListedCount(ini, kObjectsSection);
  if (!AppendNew(slot.parts, m)) return;
  const int32_t textureCount = slot.textures.count();
  for (int32_t i = 0; i < m; ++i) {
    MeshObjectX& part = slot.parts[i];
    const std::string file = ListedFile(ini, kObjectsSection, i + 1, folder);
    LoadKmoModel(part, file.c_str());
    part.texture0 = PartTexture(ini, i + 1, "ta", textureCount);
    part.texture1 = PartTexture(ini, i + 1, "tb", textureCount);
    TriangulateBuildStream(part);
    ComputeFrameBounds(part);
  }
}

}  // namespace

int LoadScene(const char* name, ObjectSlot& slot, int32_t transparentColour) {
  slot.inUse = 1;
  slot.severalParts = 1;
  IniObject ini;
  IniRead(ini, StrValue(name));
  const std::string folder = SceneFolder(name);
  LoadTextures(ini, folder, transparentColour, slot);
  LoadParts(ini, folder, slot);
  return 1;
}
