// The object under construction and its build streams.
#include "gfx3d/model_building.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "core/last_error.h"
#include "gfx3d/mesh_normals.h"
#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"

int32_t BuildObjectIndex = -1;

namespace {

// The "frame vertices" line each added vertex prints, formatted without printf's parsing: a big
// model prints one per vertex.
void PrintVertexLine(int32_t frame, int32_t vertices) {
  constexpr int kWidest = 11;  // "-2147483648"
  char line[2 * kWidest + 2];
  char* end = std::to_chars(line, line + kWidest, frame).ptr;
  *end++ = ' ';
  end = std::to_chars(end, end + kWidest, vertices).ptr;
  *end++ = '\n';
  std::fwrite(line, 1, size_t(end - line), stdout);
}

// Part 0 of the object being built, or null while idle (or when its slot was emptied since).
MeshObjectX* BuildPart(Rainbows3D& scene) {
  ObjectSlot* slot = FindObjectSlot(scene, BuildObjectIndex);
  if (!slot || slot->parts.empty()) return nullptr;
  return &slot->parts[0];
}

MeshFrame* BuildFrame(Rainbows3D& scene) {
  MeshObjectX* part = BuildPart(scene);
  if (!part || scene.frameBeingBuilt >= part->frames.count()) return nullptr;
  return &part->frames[scene.frameBeingBuilt];
}

uint32_t BreakCode(int32_t mode) {
  if (mode == 0) return kBreakTriangleList;
  if (mode == 2) return kBreakFan;
  return kBreakStrip;
}

bool FramesMatchFirst(const MeshObjectX& part) {
  const int32_t first = part.frames[0].buildStream.count();
  for (int32_t i = 0; i < part.frames.count(); ++i) {
    const int32_t count = part.frames[i].buildStream.count();
    if (count == first) continue;
    DebugOut(("Frame " + std::to_string(i) + " has " + std::to_string(count) +
              " nodes, but must have (like frame 0) " + std::to_string(first) + " nodes\n")
                 .c_str());
    return false;
  }
  return true;
}

bool FinishPart(Rainbows3D& scene, ObjectSlot& slot, MeshObjectX& part) {
  slot.severalParts = 0;
  if (part.frames.empty() || part.frames[0].buildStream.count() < 3) {
    ClearMeshObjectX(part, true);
    slot.inUse = 0;
    return false;
  }
  slot.inUse = 1;
  if (!FramesMatchFirst(part)) {
    slot.inUse = 0;
    return false;
  }
  // Nothing is added to a finished object, so its streams give their growth slack back.
  for (MeshFrame& frame : part.frames) frame.buildStream.ShrinkToFit();
  BuildColourTable(part);
  if (scene.normalMode == 1 || scene.normalMode == 2) {
    PrepareMeshNormals(part, true, scene.normalMode == 2, false);
  }
  if (WorkingRecordCount(part) == 0) TriangulateBuildStream(part);
  ComputeFrameBounds(part);
  return true;
}

}  // namespace

void ObjectStart(Rainbows3D& scene, int32_t object, int32_t breakMode) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot) return;
  scene.frameBeingBuilt = 0;
  BuildObjectIndex = -1;
  EmptyObjectSlot(*slot, false);
  if (!slot->parts.Append(MeshObjectX{})) return;
  if (!slot->parts[0].frames.Append(MeshFrame{})) return;
  BuildObjectIndex = object;
  scene.buildVertex.normal = {0, 0, 1};
  ObjectAddBreak(scene, breakMode);
}

void ObjectSelectFrame(Rainbows3D& scene, int32_t frame) {
  MeshObjectX* part = BuildPart(scene);
  if (frame < 0 || !part) return;
  GrowArray<MeshFrame>& frames = part->frames;
  if (frames.count() <= frame) {
    if (!frames.Reserve(int64_t(frame) + 1)) return;
    while (frames.count() <= frame) frames.Append(MeshFrame{});
  }
  GrowArray<MeshVertex>& stream = frames[frame].buildStream;
  const GrowArray<MeshVertex>& first = frames[0].buildStream;
  if (stream.empty() && !first.empty()) stream.Append(MeshVertex(first[0]));
  scene.frameBeingBuilt = frame;
}

void SetBuildVertexNormal(Rainbows3D& scene, float x, float y, float z) {
  if (BuildPart(scene)) scene.buildVertex.normal = {x, y, z};
}

void ObjectAddVertex(Rainbows3D& scene, float x, float y, float z, float u, float v,
                     uint32_t colour) {
  MeshFrame* frame = BuildFrame(scene);
  if (!frame) return;
  MeshVertex& vertex = scene.buildVertex;
  vertex.position = {x, y, z};
  vertex.u = u;
  vertex.v = -v;
  SetVertexColour(vertex, colour, vertex.colourIndex);
  frame->buildStream.Append(vertex);
  PrintVertexLine(scene.frameBeingBuilt, frame->buildStream.count());
}

void ObjectAddBreak(Rainbows3D& scene, int32_t mode) {
  MeshFrame* frame = BuildFrame(scene);
  if (!frame) return;
  MeshVertex marker;
  SetVertexColour(marker, BreakCode(mode), 0);
  frame->buildStream.Append(marker);
}

bool ObjectEnd(Rainbows3D& scene) {
  ObjectSlot* slot = FindObjectSlot(scene, BuildObjectIndex);
  BuildObjectIndex = -1;
  if (!slot) return false;
  if (slot->parts.empty()) {
    slot->inUse = 0;
    return false;
  }
  return FinishPart(scene, *slot, slot->parts[0]);
}
