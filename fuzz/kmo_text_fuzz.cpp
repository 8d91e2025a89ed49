// Text model files: any text parses or is refused in time proportional to its length, and the
// parsed model becomes a mesh or is refused for its indices, never read out of bounds.
#include "gfx3d/kmo_text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ParsedTextModel parsed;
  if (!ParseKmoTextModel(parsed, {data, size})) return 0;
  MeshObject mesh;
  TextModelToMesh(parsed, mesh);
  return 0;
}
