// The six face passes, their progress screens and the model's start, end and file.
#include "tool/face_generation.h"

#include "core/number_text.h"
#include "core/str_value.h"
#include "gfx3d/model_commands.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"
#include "tool/voxel_face_emitter.h"

namespace {

// Unless a face stretched over it, the voxel's face on the pass's side goes to the emitter.
void VisitVoxel(double x, double y, double z, double direction, double& skipCount) {
  const double index = VoxelAt(x, y, z);
  if (index == 0) return;
  const double n0 = VoxelAt(x, y, z - 1), n1 = VoxelAt(x, y, z + 1);
  const double n2 = VoxelAt(x - 1, y, z), n3 = VoxelAt(x + 1, y, z);
  const double n4 = VoxelAt(x, y + 1, z), n5 = VoxelAt(x, y - 1, z);
  if (skipCount != 0) {
    --skipCount;
    return;
  }
  EmitVoxelFaces(x, y, z, n0, n1, n2, n3, n4, n5, index, direction);
}

void ShowPassDone(double direction) {
  const ProgressBar bar{320, 80, TruncToI32(640 * direction / 5), kProgressBarColour};
  ProgressStep("Generating faces...", &bar, direction == kFacePlusX);
}

// -z, +z, +y and -y faces: x runs innermost, so faces stretched along x are skipped in order.
void RunPassAlongX(double direction) {
  ToolState& g = ToolGlobals;
  for (double y = 1; y <= g.GridSizeY; ++y) {
    for (double z = 1; z <= g.GridSizeZ; ++z) {
      for (double x = 1; x <= g.GridSizeX; ++x) VisitVoxel(x, y, z, direction, g.SkipCountX);
    }
  }
  ShowPassDone(direction);
}

// -x and +x faces: z runs innermost, for faces stretched along z.
void RunPassAlongZ(double direction) {
  ToolState& g = ToolGlobals;
  for (double y = 1; y <= g.GridSizeY; ++y) {
    for (double x = 1; x <= g.GridSizeX; ++x) {
      for (double z = 1; z <= g.GridSizeZ; ++z) VisitVoxel(x, y, z, direction, g.SkipCountZ);
    }
  }
  ShowPassDone(direction);
}

}  // namespace

double GenerateFaces(const Str& name, double object) {
  const int32_t slot = TruncToI32(object);
  BeginModel(slot);
  for (double d = kFaceMinusZ; d <= kFaceMinusY; ++d) RunPassAlongX(d);
  for (double d = kFaceMinusX; d <= kFacePlusX; ++d) RunPassAlongZ(d);
  EndModel();
  SaveModel(StrValue(name) + ".kmo", slot);
  return 0;
}
