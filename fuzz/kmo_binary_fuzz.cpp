// Binary model files: any bytes are read or refused without reading out of bounds or making
// blocks out of proportion to the input, and whatever is read writes out and reads back.
#include <cstdlib>

#include "gfx3d/kmo_binary_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MeshObject mesh;
  double version = 0;
  if (DecodeKmoModel({data, size}, mesh, version) != KmoReadResult::Ok) return 0;
  std::vector<uint8_t> written = EncodeKmoModel(mesh);
  MeshObject again;
  if (!written.empty() && DecodeKmoModel(written, again, version) != KmoReadResult::Ok) {
    std::abort();
  }
  if (again.frames.count() != mesh.frames.count()) std::abort();
  return 0;
}
