// Object files from untrusted bytes: a model or scene file in a memory block fills slot 0 or
// leaves it empty without reading out of bounds, and a scene's counts never size lists beyond
// the entries the file holds. No context exists, so scenes load no textures.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx3d/object_loading.h"
#include "gfx3d/scene.h"
#include "system/memory_blocks.h"

namespace {

char logFolder[] = "/tmp/qrn-object-load-fuzz-XXXXXX";

void RemoveLogFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(logFolder, ignored);
}

}  // namespace

// Refused models are reported to a log in the temporary folder: a private one, removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (mkdtemp(logFolder)) {
    setenv("TMPDIR", logFolder, 1);
    std::atexit(RemoveLogFolder);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rainbows3D* scene = new Rainbows3D(nullptr);
  const uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(data, data + size));
  const std::string name = FormatMemoryFileName(uint32_t(size), token);
  const uint32_t loaded = LoadObjectFile(*scene, name.c_str(), 0);
  ReleaseMemoryBlock(token);
  const ObjectSlot& slot = scene->objects[0];
  if (loaded != slot.inUse) std::abort();
  if (slot.severalParts) {
    if (size_t(slot.parts.count()) + size_t(slot.textures.count()) > size) std::abort();
  } else if (slot.parts.count() != int32_t(loaded)) {
    std::abort();
  }
  return 0;
}
