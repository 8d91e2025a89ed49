// Objects for the 3D scene built straight from triangles, for tests of the queries and object
// operations: each part has one frame whose triangle list is the given corners in order.
#pragma once

#include <initializer_list>

#include "gfx3d/object_geometry.h"
#include "gfx3d/scene.h"

namespace scenetest {

inline MeshVertex Corner(Vec3 position) {
  MeshVertex vertex;
  vertex.position = position;
  vertex.normal = {0, 0, 1};
  return vertex;
}

inline void AddPart(ObjectSlot& slot, std::initializer_list<Vec3> corners) {
  MeshFrame frame;
  for (Vec3 p : corners) {
    frame.triangles.Append(Corner(p));
    frame.buildStream.Append(Corner(p));
  }
  MeshObjectX part;
  part.frames.Append(std::move(frame));
  ComputeFrameBounds(part);
  slot.parts.Append(std::move(part));
  slot.inUse = 1;
}

inline MeshObjectX& Part(Rainbows3D& scene, int object, int part = 0) {
  return scene.objects[object].parts[part];
}

}  // namespace scenetest
