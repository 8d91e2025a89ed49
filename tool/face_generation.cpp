// The six face passes, their progress screens and the model's start, end and file.
#include "tool/face_generation.h"

#include <cerrno>

#include "core/number_text.h"
#include "core/str_value.h"
#include "gfx3d/model_commands.h"
#include "tool/output_file.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"
#include "tool/voxel_face_emitter.h"

namespace {

// Unless a face stretched over it, the voxel's face on the pass's side goes to the emitter.
// The neighbours are (x, y, z - 1), (x, y, z + 1), (x - 1, y, z), (x + 1, y, z), (x, y + 1, z)
// and (x, y - 1, z).
void VisitVoxel(double x, double y, double z, double index, const double (&n)[6],
                double direction, double& skipCount) {
  if (skipCount != 0) {
    --skipCount;
    return;
  }
  EmitVoxelFaces(x, y, z, n[0], n[1], n[2], n[3], n[4], n[5], index, direction);
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
      const VoxelLine row = VoxelRowAlongX(y, z), front = VoxelRowAlongX(y, z - 1),
                      back = VoxelRowAlongX(y, z + 1), above = VoxelRowAlongX(y + 1, z),
                      below = VoxelRowAlongX(y - 1, z);
      for (double x = 1; x <= g.GridSizeX; ++x) {
        const int32_t i = int32_t(x);
        const double index = row[i];
        if (index == 0) continue;
        const double n[6] = {front[i], back[i], row[i - 1], row[i + 1], above[i], below[i]};
        VisitVoxel(x, y, z, index, n, direction, g.SkipCountX);
      }
    }
  }
  ShowPassDone(direction);
}

// -x and +x faces: z runs innermost, for faces stretched along z.
void RunPassAlongZ(double direction) {
  ToolState& g = ToolGlobals;
  for (double y = 1; y <= g.GridSizeY; ++y) {
    for (double x = 1; x <= g.GridSizeX; ++x) {
      const VoxelLine line = VoxelLineAlongZ(x, y), left = VoxelLineAlongZ(x - 1, y),
                      right = VoxelLineAlongZ(x + 1, y), above = VoxelLineAlongZ(x, y + 1),
                      below = VoxelLineAlongZ(x, y - 1);
      for (double z = 1; z <= g.GridSizeZ; ++z) {
        const int32_t i = int32_t(z);
        const double index = line[i];
        if (index == 0) continue;
        const double n[6] = {line[i - 1], line[i + 1], left[i], right[i], above[i], below[i]};
        VisitVoxel(x, y, z, index, n, direction, g.SkipCountZ);
      }
    }
  }
  ShowPassDone(direction);
}

// A model without faces has nothing to save; one with faces that is not saved ends the run.
void SaveModelFile(const StrValue& fileName, int32_t slot, bool hasFaces) {
  errno = 0;
  if (SaveModel(fileName, slot) == 0 && hasFaces) {
    EndOnUnwrittenFile(fileName.c_str(), errno);
  }
}

}  // namespace

double GenerateFaces(const Str& name, double object) {
  FinishFaces(name, object, BuildFaces(object));
  return 0;
}

bool BuildFaces(double object) {
  const double firstVertex = ToolGlobals.NextObjVertex;
  BeginModel(TruncToI32(object));
  for (double d = kFaceMinusZ; d <= kFaceMinusY; ++d) RunPassAlongX(d);
  for (double d = kFaceMinusX; d <= kFacePlusX; ++d) RunPassAlongZ(d);
  return ToolGlobals.NextObjVertex > firstVertex;
}

void FinishFaces(const Str& name, double object, bool hasFaces) {
  EndModel();
  SaveModelFile(StrValue(name) + ".kmo", TruncToI32(object), hasFaces);
}
