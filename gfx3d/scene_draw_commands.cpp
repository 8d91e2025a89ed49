// Drawing into the 3D scene for the program. Every draw changes the screen under the pixel reads.
#include "gfx2d/sprite_batch.h"
#include "gfx3d/scene_draw_commands.h"

#include <cmath>

#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/debug_drawing.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/object_drawing.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/text_3d.h"

namespace {

constexpr double kSmallestShape = 1;
constexpr double kLargestShape = 512;

// NaN draws the smallest shape.
float ShapeSize(double size) {
  if (!(size >= kSmallestShape)) return float(kSmallestShape);
  return Narrow(size > kLargestShape ? kLargestShape : size);
}

}  // namespace

// A blend position that is not a finite number draws nothing.
void DrawObjectTween(int32_t object, int32_t frameA, int32_t frameB, double t, int32_t animate) {
  Rainbows3D* scene = SceneForObject(object);
  const float blend = Narrow(t);
  if (!scene || !std::isfinite(blend)) return;
  BindSceneTextures();
  DrawObject(*scene, object, frameA, frameB, blend, animate != 0 ? 1 : 0);
  InvalidateScreenReads();
}

void DrawObject3D(int32_t object, int32_t frame) {
  DrawObjectTween(object, frame, frame, 0, 0);
}

void DrawBillboard3D(int32_t sprite, double x, double y, double z, double size) {
  Rainbows3D* scene = CommandScene();
  if (!scene || !GraphicsContext || !IsSpriteId(sprite)) return;
  ApplyCullMode(*scene, -1);
  DrawBillboard(*GraphicsContext, sprite, Narrow(x), Narrow(y), Narrow(z), Narrow(size));
  ApplyCullMode(*scene, KeptCullMode());
  InvalidateScreenReads();
}

void DrawLine3DCmd(double x1, double y1, double z1, double x2, double y2, double z2, double width,
                   int32_t colour) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  DrawLine3D(*scene, PointFromNumbers(x1, y1, z1), PointFromNumbers(x2, y2, z2),
             static_cast<uint32_t>(colour), ShapeSize(width));
  InvalidateScreenReads();
}

void DrawDot3DCmd(double x, double y, double z, double size, int32_t colour) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  DrawDot3D(*scene, PointFromNumbers(x, y, z), static_cast<uint32_t>(colour), ShapeSize(size));
  InvalidateScreenReads();
}

void DrawAxes3D(double x, double y, double z) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return;
  DrawAxesMarker(*scene, Narrow(x), Narrow(y), Narrow(z));
  InvalidateScreenReads();
}

void PrintText3DCmd(const Str& text, double x, double y, double z, double scale,
                    int32_t proportional) {
  FlushSpriteBatch();
  if (!GraphicsContext) return;
  PrintText3D(*GraphicsContext, CurrentFont, text.data, Narrow(x), Narrow(y), Narrow(z),
              Narrow(scale), proportional);
  InvalidateScreenReads();
}
