// Scaling, bounds and saving of objects.
#include "gfx3d/object_geometry.h"

#include <cmath>

#include "frame/gl_extensions.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/scene.h"

namespace {

Vec3 Scaled(Vec3 v, Vec3 factor) {
  return {v.x * factor.x, v.y * factor.y, v.z * factor.z};
}

void ScaleVertex(MeshVertex& vertex, Vec3 position, Vec3 direction) {
  vertex.position = Scaled(vertex.position, position);
  vertex.normal = Scaled(vertex.normal, direction);
  vertex.tangent = Scaled(vertex.tangent, direction);
  vertex.bitangent = Scaled(vertex.bitangent, direction);
}

void DropStaticBuffer(MeshObjectX& part) {
  if (part.staticBuffer != 0 && GlExtensionTable.glDeleteBuffersARB) {
    GlExtensionTable.glDeleteBuffersARB(1, &part.staticBuffer);
  }
  part.staticBuffer = 0;
}

}  // namespace

void ScaleObject(MeshObjectX& part, Vec3 scale) {
  // The triangle lists take the plain factor; the build streams, from which normals are made
  // again, keep unit-length directions by taking the factor's direction.
  const Vec3 direction = NormaliseOrKeep(scale);
  WorkingList(part);  // the working list keeps the records it had before scaling
  for (MeshFrame& frame : part.frames) {
    for (MeshVertex& vertex : frame.triangles) ScaleVertex(vertex, scale, scale);
    for (MeshVertex& vertex : frame.buildStream) ScaleVertex(vertex, scale, direction);
  }
  ComputeFrameBounds(part);
  DropStaticBuffer(part);
}

void ComputeFrameBounds(MeshObject& part) {
  for (MeshFrame& frame : part.frames) {
    const int32_t n = frame.triangles.count();
    Vec3 sum;
    for (const MeshVertex& vertex : frame.triangles) sum += vertex.position;
    frame.centre = n > 0 ? sum * (1.0f / float(n)) : Vec3{};
    float farthest = 0.0f;
    for (const MeshVertex& vertex : frame.triangles) {
      const Vec3 d = vertex.position - frame.centre;
      const float squared = Dot(d, d);
      if (squared > float(kMinSquaredLength) && squared > farthest) farthest = squared;
    }
    frame.radius = std::sqrt(farthest);
  }
}

int SaveObjectFile(Rainbows3D& scene, const char* name, int32_t object) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot || !slot->inUse || slot->parts.empty()) return 0;
  return SaveKmoModel(slot->parts[0], name);
}
