// What every 3D command checks before it reaches the scene: that the runtime has a scene and
// that an object number names one of its 4096 slots. Numbers the program passes as doubles are
// narrowed to f32 coordinates here too. Each check first sends the sprite draws the 2D layer
// holds back, since every 3D command that touches GL passes through one of them before it does.
#pragma once

#include <cstdint>

#include "gfx3d/vector_maths.h"

class Rainbows3D;
struct ObjectSlot;

// The error a command that makes or loads an object sets for a number outside 0 .. 4095.
inline constexpr int32_t kErrorBadObjectNumber = 7;

// The runtime's scene, null before the start-up and after the quit sequence.
Rainbows3D* CommandScene();
// The scene when there is one and the object number lies within 0 .. 4095; null otherwise.
Rainbows3D* SceneForObject(int32_t object);
// For the commands that make or load an object: the scene when there is one and the number
// lies within 0 .. 4095; null otherwise, setting kErrorBadObjectNumber for a bad number.
Rainbows3D* SceneToFillObject(int32_t object);
// The object's slot when the number is valid and the slot is in use.
ObjectSlot* UsedSlot(int32_t object);

// A coordinate as the scene keeps it.
inline float Narrow(double value) {
  return static_cast<float>(value);
}
Vec3 PointFromNumbers(double x, double y, double z);
