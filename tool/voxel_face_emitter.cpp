// The face emitter: which side a pass looks at, how far a face stretches, where its corners lie
// and what each corner adds to the model and to the OBJ lists.
#include "tool/voxel_face_emitter.h"

#include <algorithm>

#include "core/number_text.h"
#include "gfx3d/model_commands.h"
#include "tool/tool_globals.h"

namespace {

constexpr int32_t kAxisX = 0, kAxisZ = 2, kNoRun = -1;

struct DirectionInfo {
  int32_t neighbour;  // which of the six neighbour arguments lies on this side
  int32_t side[3];    // that neighbour's offset from the voxel
  int32_t runAxis;    // the axis a merged face stretches along
};

constexpr DirectionInfo kDirections[6] = {
    {0, {0, 0, -1}, kAxisX}, {1, {0, 0, 1}, kAxisX},  {4, {0, 1, 0}, kNoRun},
    {5, {0, -1, 0}, kNoRun}, {2, {-1, 0, 0}, kAxisZ}, {3, {1, 0, 0}, kAxisZ},
};

// A corner lies at the near (0) or far (1) bound of the face on each axis; u and v are the
// texture values of one axis each, at its near or far bound. The order makes a strip whose
// first triangle's normal points into the voxel.
struct CornerPlace {
  uint8_t far[3];
  uint8_t uAxis, uFar, vAxis, vFar;
};

constexpr CornerPlace kCorners[6][4] = {
    {{{1, 0, 0}, 0, 1, 1, 0},
     {{1, 1, 0}, 0, 1, 1, 1},
     {{0, 0, 0}, 0, 0, 1, 0},
     {{0, 1, 0}, 0, 0, 1, 1}},
    {{{1, 1, 1}, 0, 1, 1, 1},
     {{1, 0, 1}, 0, 1, 1, 0},
     {{0, 1, 1}, 0, 0, 1, 1},
     {{0, 0, 1}, 0, 0, 1, 0}},
    {{{0, 1, 0}, 0, 0, 2, 0},
     {{1, 1, 0}, 0, 1, 2, 0},
     {{0, 1, 1}, 0, 0, 2, 1},
     {{1, 1, 1}, 0, 1, 2, 1}},
    {{{0, 0, 1}, 0, 0, 2, 1},
     {{1, 0, 1}, 0, 1, 2, 1},
     {{0, 0, 0}, 0, 0, 2, 0},
     {{1, 0, 0}, 0, 1, 2, 0}},
    {{{0, 1, 0}, 2, 0, 1, 1},
     {{0, 1, 1}, 2, 1, 1, 1},
     {{0, 0, 0}, 2, 0, 1, 0},
     {{0, 0, 1}, 2, 1, 1, 0}},
    {{{1, 1, 1}, 2, 1, 1, 1},
     {{1, 1, 0}, 2, 0, 1, 1},
     {{1, 0, 1}, 2, 1, 1, 0},
     {{1, 0, 0}, 2, 0, 1, 0}},
};

struct FaceCorner {
  double position[3];
  double u, v;
};

double CellAt(const double cell[3]) {
  return VoxelAt(cell[0], cell[1], cell[2]);
}

double& SkipCounter(int32_t runAxis) {
  return runAxis == kAxisX ? ToolGlobals.SkipCountX : ToolGlobals.SkipCountZ;
}

// A z-run also stops at the model's last layer: a voxel taken in beyond it is never visited by
// its pass, so the count it left behind would swallow the faces of later voxels.
double RunLimit(int32_t runAxis) {
  const ToolState& g = ToolGlobals;
  return runAxis == kAxisX ? g.GridSizeY : std::min(g.GridSizeY, g.GridSizeZ);
}

// The face's length along its run axis: the voxel itself and the following ones of the same
// index whose own face on this side is open.
double RunLength(const double cell[3], double index, const DirectionInfo& dir) {
  if (ToolGlobals.ReduceFaces != 1 || dir.runAxis == kNoRun) return 1;
  const double limit = RunLimit(dir.runAxis);
  double r = 1;
  for (double k = 1; cell[dir.runAxis] + k <= limit; ++k) {
    double next[3] = {cell[0], cell[1], cell[2]};
    next[dir.runAxis] += k;
    if (CellAt(next) != index) break;
    const double beside[3] = {next[0] + dir.side[0], next[1] + dir.side[1], next[2] + dir.side[2]};
    if (CellAt(beside) != 0) break;
    ++r;
    ++SkipCounter(dir.runAxis);
  }
  return r;
}

// Corners centred on the box by h = S / 2 on every axis; texture values are the position over S
// on every axis, so a stretched face spans its whole run in texture space as well.
void PlaceCorners(const double cell[3], const double extent[3], int32_t direction,
                  FaceCorner corners[4]) {
  const double size = ToolGlobals.GridSizeY;
  const double half = TruncToI32(size / 2);
  const auto texture = [&](int32_t axis, bool far) {
    return (cell[axis] - 1 + (far ? extent[axis] : 0)) / size;
  };
  for (int32_t c = 0; c < 4; ++c) {
    const CornerPlace& place = kCorners[direction][c];
    for (int32_t axis = 0; axis < 3; ++axis) {
      corners[c].position[axis] = cell[axis] - half + (place.far[axis] ? extent[axis] : 0);
    }
    corners[c].u = texture(place.uAxis, place.uFar);
    corners[c].v = texture(place.vAxis, place.vFar);
  }
}

void AddToModel(const FaceCorner corners[4], double index) {
  const int32_t colour = TruncToI32(ToolNumberAt(ToolGlobals.PaletteColors, index));
  NewModelStrip();
  for (int32_t c = 0; c < 4; ++c) {
    const FaceCorner& k = corners[c];
    AddModelVertex(k.position[0], k.position[1], k.position[2], k.u, k.v, colour);
  }
}

void AddToObjLists(const FaceCorner corners[4], double index) {
  ToolState& g = ToolGlobals;
  for (int32_t c = 0; c < 4; ++c) {
    for (double p : corners[c].position) g.ObjPositions.Push(p);
    g.ObjTexCoords.Push(corners[c].u);
    g.ObjTexCoords.Push(corners[c].v);
    for (int32_t i = 0; i < 3; ++i) g.ObjNormals.Push(0);
  }
  g.ObjFaceLines.Push(g.NextObjVertex);
  g.ObjMaterialLines.Push(index);
  g.NextObjVertex += 4;
}

}  // namespace

double EmitVoxelFaces(double x, double y, double z, double n0, double n1, double n2, double n3,
                      double n4, double n5, double index, double direction) {
  const int32_t d = TruncToI32(direction);
  if (d < kFaceMinusZ || d > kFacePlusX) return 0;
  const DirectionInfo& dir = kDirections[d];
  const double neighbours[6] = {n0, n1, n2, n3, n4, n5};
  if (neighbours[dir.neighbour] != 0) return 0;
  const double cell[3] = {x, y, z};
  double extent[3] = {1, 1, 1};
  if (dir.runAxis != kNoRun) extent[dir.runAxis] = RunLength(cell, index, dir);
  FaceCorner corners[4];
  PlaceCorners(cell, extent, d, corners);
  AddToModel(corners, index);
  AddToObjLists(corners, index);
  return 0;
}
