// Lights, fog and the cel-shading ramp for the program.
#include "gfx3d/light_commands.h"

#include <vector>

#include "core/number_text.h"
#include "frame/frame_services.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx3d/lights_fog.h"
#include "gfx3d/mesh_gpu.h"
#include "gfx3d/scene_command_checks.h"

namespace {

// Full brightness 1.0 is 255; the product keeps its low byte, so values past 1 wrap instead of
// reaching undefined conversions.
uint8_t RampByte(double value) {
  return static_cast<uint8_t>(static_cast<uint32_t>(TruncToI32(value * 255.0)) & 0xFF);
}

}  // namespace

void SetCameraLight(int32_t light, int32_t colour) {
  if (Rainbows3D* scene = CommandScene()) {
    SetLightAtCamera(*scene, light, static_cast<uint32_t>(colour));
  }
}

void SetLight3D(int32_t light, int32_t colour, double x, double y, double z, double dx, double dy,
                double dz, double cutoff) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  SetLight(*scene, light, static_cast<uint32_t>(colour), PointFromNumbers(x, y, z),
           PointFromNumbers(dx, dy, dz), Narrow(cutoff), DebugFlag != 0);
  if (DebugFlag) InvalidateScreenReads();
}

void SetFog3D(int32_t colour, int32_t mode, double nearDistance, double farDistance) {
  if (Rainbows3D* scene = CommandScene()) {
    SetFog(*scene, static_cast<uint32_t>(colour), mode, Narrow(nearDistance), Narrow(farDistance));
  }
}

void SetCelRampFromArray(DimArray& values) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  const int32_t n = ArrayDimSize(values, 0);
  std::vector<uint8_t> bytes(size_t(n > 0 ? n : 0));
  for (int32_t i = 0; i < n; ++i) bytes[size_t(i)] = RampByte(*ArrayNumberAt(values, i));
  SetCelRamp(*scene, bytes.data(), n);
}
