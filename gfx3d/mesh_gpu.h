// MeshObjectX: one part of a 3D object as the renderer needs it. The mesh's build streams become
// plain triangle lists, and the part keeps its vertex buffers, its cel-shading ramp texture, its
// shadow-edge data and the texture indices of its two units. GL names move with the record; only
// ClearMeshObjectX and the operations that empty slots delete them, never a C++ destructor.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx3d/grow_array.h"
#include "gfx3d/mesh_object.h"

class Rainbows3D;

// One edge of a triangle of frame 0: the triangle sharing it (-1 = open edge) and whether it lies
// on the silhouette for the last light position.
struct ShadowEdge {
  int32_t neighbour = -1;
  uint8_t silhouette = 0;
};

class MeshObjectX : public MeshObject {
 public:
  MeshObjectX() = default;
  MeshObjectX(MeshObjectX&&) = default;
  MeshObjectX& operator=(MeshObjectX&&) = default;

  // The triangulation of the build streams (TriangulateBuildStream).
  void MeshObjectPrepareBase() override;

  uint32_t hasColours = 0;    // 1 when a real colour other than white is used
  uint32_t staticBuffer = 0;  // GL buffer with frame 0's triangle list; 0 = none yet
  int32_t staticBufferRecords = 0;  // how many records the static buffer holds
  uint32_t streamBuffer = 0;  // GL buffer refilled by draws of changed vertices
  uint32_t rampTexture = 0;   // cel-shading ramp; 0 = none yet
  float rampRowStep = 0;      // 1 / the ramp texture's height
  GrowArray<ShadowEdge> edges;
  GrowArray<uint8_t> facing;  // per triangle: faces the last light position
  int32_t texture0 = 0;       // indices into the object slot's texture list
  int32_t texture1 = 0;
};

// Every frame's triangle list from its build stream (lists, strips with alternating winding,
// fans; a record whose colour is a break code opens a run of that kind), the working triangle
// list as a copy of frame 0's, and the has-colours flag. A part without frames is left alone.
// The copy is made only when something first needs its records (WorkingList): a part that is
// only ever drawn unchanged never holds it.
void TriangulateBuildStream(MeshObjectX& part);

// The working list's count, made or not: the records every draw of the part sends. 0 means
// triangulation is still due.
int32_t WorkingRecordCount(const MeshObject& part);
// The working list, made now from frame 0's triangle list if it was not made yet; empty when
// its memory cannot be had.
GrowArray<MeshVertex>& WorkingList(MeshObjectX& part);

// A deep copy of a whole part: the mesh as MeshObjectAssign, then has-colours, the ramp row step,
// the edge list and the facing flags. GL names are never shared, since deleting them through one
// part would leave the other drawing with names that are gone: the destination's own buffers and
// ramp texture are deleted (a context must be current if it has any) and it makes its own at its
// next draw. The texture indices are the caller's to copy.
MeshObjectX& MeshObjectXAssign(MeshObjectX& dest, const MeshObjectX& src);

// Empties the part (its storage freed too when asked) and deletes its vertex buffers and ramp
// texture; the edge list and facing flags are emptied with grow step and minimum 64.
void ClearMeshObjectX(MeshObjectX& part, bool freeStorage);

// The process-wide cel-shading ramp: brightness values, darkest first.
extern GrowArray<uint8_t> CelRamp;

// The pixels of a part's ramp texture, RGBA per pixel (BGRA when asked): one row per colour-table
// entry, each row the ramp scaled by that colour; width and height come back too.
std::vector<uint8_t> CelRampBlock(const MeshObjectX& part, bool bgraOrder, int32_t& width,
                                  int32_t& height);
// Makes the part's ramp texture unless it has one; bgra uploads it as GL_BGRA.
void MakeCelRampTexture(MeshObjectX& part, bool bgra);
// Replaces the ramp (fewer than 1 value gives the single value 255) and deletes every part's
// ramp texture so the next cel-shaded draw builds it again.
void SetCelRamp(Rainbows3D& scene, const uint8_t* values, int32_t n);

// Cuts every part of object n down to a one-frame stub (frame 0's first three build records and
// first triangle-list record), keeping the working list, buffers and ramp texture, so drawing
// frame 0 from the static buffer still shows the whole part. The parts' streams are stubs from
// then on (MeshObject::streamsAreStubs): they are neither saved nor given normals.
void ObjectDropVertexData(Rainbows3D& scene, int32_t object);

// For an object that is saved and from then on only drawn as built: every frame's build stream
// is cut to its first three records and its storage to that size. Triangle lists, the working
// list and buffers stay, so plain draws still show the whole part. The streams are stubs from
// then on, as after ObjectDropVertexData: normals or tangents not yet made stay unmade, and
// saving writes nothing.
void ObjectReleaseBuildStreams(Rainbows3D& scene, int32_t object);
