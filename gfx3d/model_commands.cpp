// Building, saving and inspecting objects for the program.
#include "gfx3d/model_commands.h"

#include "gfx3d/mesh_gpu.h"
#include "gfx3d/model_building.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/shadow_volume_data.h"

namespace {

constexpr int32_t kCorners = 3;
constexpr int32_t kCornerFields = 9;
constexpr int32_t kStripBreak = 1;

// The frame's triangle list, or null when the part has no such frame.
const GrowArray<MeshVertex>* FrameTriangles(const MeshObjectX& part, int32_t frame) {
  if (frame < 0 || frame >= part.frames.count()) return nullptr;
  return &part.frames[frame].triangles;
}

// The first corner of the object's triangle number `triangle` in the frame, counting through
// the parts in order; null beyond the last.
const MeshVertex* TriangleCorners(const ObjectSlot& slot, int32_t frame, int32_t triangle) {
  if (triangle < 0) return nullptr;
  int64_t before = 0;
  for (const MeshObjectX& part : slot.parts) {
    const GrowArray<MeshVertex>* list = FrameTriangles(part, frame);
    if (!list) continue;
    const int64_t here = list->count() / kCorners;
    if (triangle < before + here) return &(*list)[int32_t(triangle - before) * kCorners];
    before += here;
  }
  return nullptr;
}

void WriteCorner(DimArray& out, int32_t corner, const MeshVertex& v) {
  const double fields[kCornerFields] = {v.position.x, v.position.y, v.position.z,
                                        v.u,          v.v,          double(v.colour),
                                        v.normal.x,   v.normal.y,   v.normal.z};
  for (int32_t f = 0; f < kCornerFields; ++f) *ArrayNumberAt(out, corner, f) = fields[f];
}

}  // namespace

void SetNormalMode(int32_t n) {
  if (Rainbows3D* scene = CommandScene()) scene->normalMode = n % 3;
}

int32_t BeginModel(int32_t object) {
  Rainbows3D* scene = SceneToFillObject(object);
  if (!scene) return 0;
  ObjectStart(*scene, object, kStripBreak);
  return BuildObjectIndex == object ? 1 : 0;
}

void SetModelFrame(int32_t frame) {
  if (Rainbows3D* scene = CommandScene()) ObjectSelectFrame(*scene, frame);
}

void SetModelNormal(double nx, double ny, double nz) {
  if (Rainbows3D* scene = CommandScene()) {
    SetBuildVertexNormal(*scene, Narrow(nx), Narrow(ny), Narrow(nz));
  }
}

void AddModelVertex(double x, double y, double z, double u, double v, int32_t colour) {
  if (Rainbows3D* scene = CommandScene()) {
    ObjectAddVertex(*scene, Narrow(x), Narrow(y), Narrow(z), Narrow(u), Narrow(v),
                    static_cast<uint32_t>(colour));
  }
}

void NewModelStrip() {
  if (Rainbows3D* scene = CommandScene()) ObjectAddBreak(*scene, kStripBreak);
}

int32_t EndModel() {
  Rainbows3D* scene = CommandScene();
  return scene && ObjectEnd(*scene) ? 1 : 0;
}

int32_t SaveModel(const Str& name, int32_t object) {
  Rainbows3D* scene = SceneForObject(object);
  return scene ? SaveObjectFile(*scene, name.data, object) : 0;
}

void ReleaseModelBuildStreams(int32_t object) {
  if (Rainbows3D* scene = SceneForObject(object)) ObjectReleaseBuildStreams(*scene, object);
}

int32_t FindFreeObject() {
  Rainbows3D* scene = CommandScene();
  if (!scene) return -1;
  for (int32_t n = kObjectSlots - 1; n >= 0; --n) {
    if (!scene->objects[n].inUse) return n;
  }
  return -1;
}

int32_t CountObjectTriangles(int32_t object) {
  const ObjectSlot* slot = UsedSlot(object);
  if (!slot) return 0;
  int64_t corners = 0;
  for (const MeshObjectX& part : slot->parts) {
    if (const GrowArray<MeshVertex>* list = FrameTriangles(part, 0)) corners += list->count();
  }
  return int32_t(corners / kCorners);
}

void GetObjectData(int32_t object, int32_t frame, int32_t triangle, DimArray& out) {
  ArrayDimNumber(out, kCorners, kCornerFields, 0, 0);
  const ObjectSlot* slot = UsedSlot(object);
  const MeshVertex* first = slot ? TriangleCorners(*slot, frame, triangle) : nullptr;
  if (!first) return;
  for (int32_t c = 0; c < kCorners; ++c) WriteCorner(out, c, first[c]);
}

void ScaleObjectCmd(int32_t object, double sx, double sy, double sz) {
  ObjectSlot* slot = UsedSlot(object);
  if (!slot) return;
  for (MeshObjectX& part : slot->parts) ScaleObject(part, PointFromNumbers(sx, sy, sz));
}

int32_t RefreshObjectShadowData(int32_t object) {
  ObjectSlot* slot = UsedSlot(object);
  if (!slot || slot->parts.empty()) return 0;
  for (MeshObjectX& part : slot->parts) {
    part.edges.Clear(false);
    BuildShadowEdgeList(part);
  }
  return 1;
}
