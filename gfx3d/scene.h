// Rainbows3D, the one 3D scene of the runtime, and its object slots. This holds what the
// transforms, camera, shadow pass and collision queries use so far; the scene object's remaining
// fields (shader slots, vertex being built, lights, fog, cel ramp, part GPU data) and its full
// construction and destruction are still to be completed.
#pragma once

#include <cstdint>

#include "gfx3d/grow_array.h"
#include "gfx3d/matrix_maths.h"
#include "gfx3d/mesh_object.h"
#include "gfx3d/transforms.h"

class OpenGLRainbows;

inline constexpr int32_t kObjectSlots = 4096;

// One part of a 3D object as the renderer keeps it (to be completed with the rest of its GPU
// data).
class MeshObjectX : public MeshObject {
 public:
  uint32_t staticBuffer = 0;  // GL buffer with frame 0's triangle list; 0 = none yet
};

struct ObjectSlot {
  uint8_t inUse = 0;
  uint8_t severalParts = 0;
  GrowArray<MeshObjectX> parts;
  GrowArray<uint32_t> textures;
};

enum FrustumPlane { kPlaneRight, kPlaneLeft, kPlaneBottom, kPlaneTop, kPlaneFar, kPlaneNear };

class Rainbows3D {
 public:
  // The context may be null (scenes for tests without a window); otherwise the two point at each
  // other.
  explicit Rainbows3D(OpenGLRainbows* ctx);
  virtual ~Rainbows3D();
  Rainbows3D(const Rainbows3D&) = delete;
  Rainbows3D& operator=(const Rainbows3D&) = delete;

  GrowArray<ObjectSlot> objects;
  float frustumPlanes[6][4] = {};  // a, b, c, d with |(a, b, c)| = 1, in FrustumPlane order
  uint8_t shadowPass = 0;
  int8_t cullMode = 0;
  TransformRecord transforms[kTransformRecords];
  int32_t transformIndex = 0;
  Mat4 projection;
  Mat4 camera;
  float textureOffset[2] = {0, 0};
  uint8_t sphereMapping = 0;
  OpenGLRainbows* context = nullptr;
  uint8_t shadowLightOn = 0;
  uint32_t shadowColour = 0;  // 0x00BBGGRR
  Vec3 cameraUp{0, 1, 0};
  Vec3 eye;
  Vec3 target;
  float viewFactor = 0;
  float nearClip = 0;
  float farClip = 0;
};

// The slot of an object number, or null outside 0 .. 4095.
ObjectSlot* FindObjectSlot(Rainbows3D& scene, int32_t object);
