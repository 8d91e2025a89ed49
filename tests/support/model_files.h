// Small models as the model writer stores them, for tests that load objects from files.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/mesh_object.h"

namespace modeltest {

// A unit quad as one strip of four corners, two of them red and two green, normals along +z.
inline MeshObject QuadMesh() {
  MeshObject mesh;
  MeshFrame frame;
  MeshVertex marker;
  SetVertexColour(marker, kBreakStrip, 0);
  frame.buildStream.Append(marker);
  const std::initializer_list<Vec3> corners = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  uint32_t colour = 0x0000FF;
  for (Vec3 p : corners) {
    MeshVertex vertex;
    vertex.position = p;
    vertex.normal = {0, 0, 1};
    vertex.u = p.x;
    vertex.v = -p.y;
    SetVertexColour(vertex, colour, 0);
    frame.buildStream.Append(vertex);
    colour = colour == 0x0000FF ? 0x00FF00 : 0x0000FF;
  }
  mesh.frames.Append(std::move(frame));
  mesh.normalsDone = 1;
  BuildColourTable(mesh);
  return mesh;
}

inline std::string ModelFileBytes(const MeshObject& mesh) {
  const std::vector<uint8_t> bytes = EncodeKmoModel(mesh);
  return std::string(bytes.begin(), bytes.end());
}

// One red triangle in one frame of the text form, with normals.
inline constexpr char kTextTriangle[] =
    "KMOA 1.1 0 1 255 0 0 3 0 0 1 0 2 0 1 3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0 1";

}  // namespace modeltest
