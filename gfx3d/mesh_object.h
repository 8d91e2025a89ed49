// MeshObject: one part of a 3D object in memory. Each animation frame keeps its build stream
// (vertices and break markers in the order they were added, which the model files store) and
// the plain triangles made from it; the mesh keeps the table of distinct packed colours and
// whether normals and tangents are valid.
#pragma once

#include <cstdint>

#include "gfx3d/grow_array.h"
#include "gfx3d/vector_maths.h"

// Colours from here up are break markers: the record opens a run of the given kind.
inline constexpr uint32_t kBreakTriangleList = 0xFFFFFFFF;
inline constexpr uint32_t kBreakStrip = 0xFFFFFFFE;
inline constexpr uint32_t kBreakFan = 0xFFFFFFFD;
inline constexpr uint32_t kFirstBreakCode = 0xFFFFFFFC;  // treated like a fan

inline bool IsBreak(uint32_t colour) {
  return colour >= kFirstBreakCode;
}

struct MeshVertex {
  Vec3 position;
  Vec3 normal;
  float u = 0, v = 0;
  Vec3 lightVector;
  Vec3 tangent;
  Vec3 bitangent;
  uint32_t colour = 0;  // 0x00BBGGRR, or a break code
  uint8_t colourIndex = 0;
  float rgba[4] = {0, 0, 0, 0};
};
static_assert(sizeof(MeshVertex) == 92, "vertex records keep the runtime's layout");

// Sets the packed colour, its table index and the colour as floats (white for markers).
void SetVertexColour(MeshVertex& vertex, uint32_t colour, uint8_t colourIndex);

// FrameRecordInit is the constructor, FrameRecordDestroy the destructor.
struct MeshFrame {
  GrowArray<MeshVertex> buildStream;
  GrowArray<MeshVertex> triangles;
  float radius = 0;
  Vec3 centre;
};

// The destination's arrays take exactly the source's records and keep a grow step and minimum
// of 1; radius and centre are copied. False (destination emptied) when memory runs out.
bool FrameRecordAssign(MeshFrame& dest, const MeshFrame& src);

// MeshObjectConstruct is the constructor, MeshObjectDestroy the destructor.
class MeshObject {
 public:
  MeshObject() = default;
  virtual ~MeshObject() = default;
  MeshObject(const MeshObject&) = delete;
  MeshObject& operator=(const MeshObject&) = delete;
  MeshObject(MeshObject&&) = default;
  MeshObject& operator=(MeshObject&&) = default;

  // Run last by PrepareMeshNormals; a part with GPU buffers triangulates its build streams here.
  virtual void MeshObjectPrepareBase() {}

  GrowArray<MeshFrame> frames;
  GrowArray<MeshVertex> triangles;  // the working triangle list sent to the graphics card
  // 1 while the working list is not made: it stands for a copy of frame 0's triangle list, which
  // is only made when a draw changes records (see WorkingList in mesh_gpu.h).
  int32_t workingListIsFrame0 = 0;
  GrowArray<uint32_t> colourTable;
  int32_t normalsDone = 0;
  int32_t tangentsDone = 0;
  // Set once the build streams were cut down to stubs for drawing only (ObjectDropVertexData,
  // ObjectReleaseBuildStreams): what would read them again, normals, tangents and saving, leaves
  // the mesh alone rather than work on the stub.
  bool streamsAreStubs = false;
};

// A deep copy: the destination's frames, working list, colour table and flags become copies of
// the source's, sharing no storage with it. Memory that cannot be had leaves the array concerned
// empty and the copy goes on.
MeshObject& MeshObjectAssign(MeshObject& dest, const MeshObject& src);

// Empties every array (freeing the storage too when asked) and clears the flags.
void MeshObjectClear(MeshObject& mesh, bool freeStorage);

// Every distinct colour of all build streams, markers included, in order of first appearance;
// each record's colourIndex is its colour's place in the table (modulo 256).
void BuildColourTable(MeshObject& mesh);
