// Rainbows3D, the one 3D scene of the runtime: its 4096 object slots, 255 shader slots, transform
// stack, camera and projection, light and shadow settings and the vertex being built. It is made
// right after the graphics context and deleted before it, while the context is current, so every
// GL name it holds is deleted in the context that made it.
#pragma once

#include <cstdint>

#include "gfx3d/grow_array.h"
#include "gfx3d/matrix_maths.h"
#include "gfx3d/mesh_gpu.h"
#include "gfx3d/transforms.h"

class OpenGLRainbows;

inline constexpr int32_t kObjectSlots = 4096;
inline constexpr int32_t kShaderSlots = 255;

struct ObjectSlot {
  uint8_t inUse = 0;
  uint8_t severalParts = 0;
  GrowArray<MeshObjectX> parts;
  GrowArray<uint32_t> textures;  // GL textures the object owns (loaded with a scene file)
};

// A GLSL program and its two shader objects; 0 = none.
struct ShaderSlot {
  uint32_t program = 0;
  uint32_t vertexShader = 0;
  uint32_t fragmentShader = 0;
};

enum FrustumPlane { kPlaneRight, kPlaneLeft, kPlaneBottom, kPlaneTop, kPlaneFar, kPlaneNear };

class Rainbows3D {
 public:
  // The context may be null (scenes for tests without a window); otherwise the two point at each
  // other.
  explicit Rainbows3D(OpenGLRainbows* ctx);
  // Deletes every GL texture, buffer and shader object the scene holds: the context must be
  // current.
  virtual ~Rainbows3D();
  Rainbows3D(const Rainbows3D&) = delete;
  Rainbows3D& operator=(const Rainbows3D&) = delete;

  GrowArray<ObjectSlot> objects;
  int32_t frameBeingBuilt = 0;
  float frustumPlanes[6][4] = {};  // a, b, c, d with |(a, b, c)| = 1, in FrustumPlane order
  ShaderSlot shaderSlots[kShaderSlots];
  int32_t currentShaderSlot = -1;  // -1 = fixed pipeline
  MeshVertex buildVertex;          // the next vertex added to the object being built
  uint8_t shadowPass = 0;
  int8_t cullMode = 0;
  TransformRecord transforms[kTransformRecords];
  int32_t transformIndex = 0;
  Mat4 projection;
  Mat4 camera;
  float textureOffset[2] = {0, 0};
  uint8_t lightMask = 0;  // bit i: GL light i is on
  uint8_t sphereMapping = 0;
  OpenGLRainbows* context = nullptr;
  uint8_t shadowLightOn = 0;
  uint8_t shadowMode = 0;  // 1 to 3
  Vec3 shadowLightPosition;
  uint32_t shadowColour = 0;  // 0x00BBGGRR
  Vec3 cameraUp{0, 1, 0};
  Vec3 eye;
  Vec3 target;
  float viewFactor = 0;
  float nearClip = 0;
  float farClip = 0;
  int32_t normalMode = 2;  // 0 normals as given, 1 flat, 2 smooth
};

// The start-up's and the quit sequence's entries: the scene made for the context (and linked
// with it), and deleted again while the context is still current.
Rainbows3D* Rainbows3DConstruct(OpenGLRainbows& ctx);
void Rainbows3DDelete(Rainbows3D* scene);

// The slot of an object number, or null outside 0 .. 4095.
ObjectSlot* FindObjectSlot(Rainbows3D& scene, int32_t object);
// Deletes the GL textures the slot owns, in one call, and empties the list.
void DeleteSlotTextures(ObjectSlot& slot);
// Leaves the slot free with no parts and no textures, every GL name it held deleted; with
// freeStorage the blocks of both lists go too. Both lists then grow one element at a time.
void EmptyObjectSlot(ObjectSlot& slot, bool freeStorage);
// Deletes the slot's program and shader objects and zeroes it; slots outside 0 .. 254 are left.
void DeleteShaderSlot(Rainbows3D& scene, int32_t slot);

// The 3D command layer's texture choice, kept beside the scene: the sprites bound to texture
// units 0 and 1 by drawn objects (-1 = none) and the second-texture flag, which every frame end
// sets back to 0.
struct SceneTextures {
  int32_t unit0Sprite = -1;
  int32_t unit1Sprite = -1;
  int32_t secondTextureFlag = 0;
};
extern SceneTextures SceneTextureChoice;
