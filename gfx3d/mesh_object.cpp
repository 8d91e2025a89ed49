// The mesh record's storage and its colour table.
#include "gfx3d/mesh_object.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

void SetVertexColour(MeshVertex& vertex, uint32_t colour, uint8_t colourIndex) {
  vertex.colour = colour;
  vertex.colourIndex = colourIndex;
  if (IsBreak(colour)) {
    vertex.rgba[0] = vertex.rgba[1] = vertex.rgba[2] = vertex.rgba[3] = 1.0f;
    return;
  }
  vertex.rgba[0] = float(colour & 0xFF) / 255.0f;
  vertex.rgba[1] = float((colour >> 8) & 0xFF) / 255.0f;
  vertex.rgba[2] = float((colour >> 16) & 0xFF) / 255.0f;
  vertex.rgba[3] = 1.0f;
}

namespace {

bool AssignVertices(GrowArray<MeshVertex>& dest, const GrowArray<MeshVertex>& src) {
  dest.SetGrowth(1, 1);
  return dest.AssignCopy(src);
}

}  // namespace

bool FrameRecordAssign(MeshFrame& dest, const MeshFrame& src) {
  if (&dest == &src) return true;
  bool complete = AssignVertices(dest.buildStream, src.buildStream) &&
                  AssignVertices(dest.triangles, src.triangles);
  dest.radius = src.radius;
  dest.centre = src.centre;
  return complete;
}

MeshObject& MeshObjectAssign(MeshObject& dest, const MeshObject& src) {
  if (&dest == &src) return dest;
  dest.frames.Clear(false);
  dest.frames.SetGrowth(kGrowStep, kGrowMinimum);
  if (dest.frames.Reserve(src.frames.count())) {
    for (const MeshFrame& frame : src.frames) {
      MeshFrame copy;
      FrameRecordAssign(copy, frame);
      dest.frames.Append(std::move(copy));
    }
  }
  dest.triangles.AssignCopy(src.triangles);
  dest.workingListIsFrame0 = src.workingListIsFrame0;
  dest.colourTable.AssignCopy(src.colourTable);
  dest.normalsDone = src.normalsDone;
  dest.tangentsDone = src.tangentsDone;
  dest.streamsAreStubs = src.streamsAreStubs;
  return dest;
}

void MeshObjectClear(MeshObject& mesh, bool freeStorage) {
  mesh.colourTable.Clear(freeStorage);
  mesh.triangles.Clear(freeStorage);
  mesh.workingListIsFrame0 = 0;
  for (MeshFrame& frame : mesh.frames) {
    frame.buildStream.Clear(freeStorage);
    frame.triangles.Clear(freeStorage);
  }
  mesh.frames.Clear(freeStorage);
  mesh.normalsDone = 0;
  mesh.tangentsDone = 0;
  mesh.streamsAreStubs = false;
}

void BuildColourTable(MeshObject& mesh) {
  mesh.colourTable.Clear(false);
  // Colour -> first index: the same answers as searching the table from its start.
  std::unordered_map<uint32_t, int32_t> firstIndex;
  const auto indexOf = [&](uint32_t colour) {
    if (auto found = firstIndex.find(colour); found != firstIndex.end()) return found->second;
    const int32_t index = mesh.colourTable.count();
    if (mesh.colourTable.Append(colour)) firstIndex.emplace(colour, index);
    return index;
  };
  // A strip's records share its colour and strips are parted by break records, so the last two
  // answers are tried first.
  struct Answer {
    uint32_t colour;
    uint8_t index;
  };
  Answer recent[2] = {};
  int32_t known = 0;
  for (MeshFrame& frame : mesh.frames) {
    for (MeshVertex& vertex : frame.buildStream) {
      if (known > 1 && vertex.colour == recent[1].colour) {
        std::swap(recent[0], recent[1]);
      } else if (known == 0 || vertex.colour != recent[0].colour) {
        recent[1] = recent[0];
        recent[0] = {vertex.colour, uint8_t(indexOf(vertex.colour))};
        known = std::min(known + 1, 2);
      }
      vertex.colourIndex = recent[0].index;
    }
  }
}
