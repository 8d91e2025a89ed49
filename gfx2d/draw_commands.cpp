// Drawing commands over the primitives, the polygon batch, the blend modes and the screen reads.
#include "gfx2d/draw_commands.h"

#include <cmath>

#include "frame/runtime_objects.h"
#include "gfx2d/blend_mode.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/polygon_batch.h"
#include "gfx2d/primitives.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/texture_binding.h"

namespace {

// A mode the batch does not draw.
constexpr int32_t kNoDrawMode = -1;

}  // namespace

// A mode or reference that is not a number leaves the blending as it was.
void SetBlendMode(double a) {
  if (GraphicsContext && !std::isnan(a)) ApplyBlendMode(*GraphicsContext, static_cast<float>(a));
}

void SetSpriteSmoothingCmd(int32_t flag) {
  if (GraphicsContext) SetSpriteSmoothing(*GraphicsContext, flag != 0 ? 1 : 0);
}

void SetAlphaTestCmd(double reference) {
  if (GraphicsContext && !std::isnan(reference)) SetAlphaTest(*GraphicsContext, static_cast<float>(reference));
}

void DrawLineCmd(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
  if (GraphicsContext) DrawLine(*GraphicsContext, x1, y1, x2, y2, static_cast<uint32_t>(colour));
}

void DrawPointCmd(int32_t x, int32_t y, int32_t colour) {
  if (GraphicsContext) DrawPoint(*GraphicsContext, x, y, static_cast<uint32_t>(colour));
}

void DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour) {
  if (GraphicsContext) FillRect(*GraphicsContext, x, y, w, h, static_cast<uint32_t>(colour));
}

int32_t GetPixel(int32_t x, int32_t y) {
  return GraphicsContext ? static_cast<int32_t>(ReadPixel(*GraphicsContext, x, y)) : 0;
}

void PolyStart(int32_t sprite, int32_t mode) {
  if (!GraphicsContext) return;
  if (sprite >= 0 && !IsSpriteId(sprite)) {
    StartPolygon(*GraphicsContext, -1, kNoDrawMode);
    return;
  }
  StartPolygon(*GraphicsContext, sprite < 0 ? -1 : sprite, mode);
}

void PolyVector(double x, double y, double tx, double ty, int32_t colour) {
  if (!GraphicsContext) return;
  AddPolygonVertex(*GraphicsContext, static_cast<float>(x), static_cast<float>(y),
                   static_cast<float>(tx), static_cast<float>(ty), static_cast<uint32_t>(colour));
}

void PolyNewStrip() {
  NewPolygonStrip();
}

void PolyEnd() {
  if (GraphicsContext) EndPolygon(*GraphicsContext);
}
