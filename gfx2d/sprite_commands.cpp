// Sprite loading and query commands over the sprite store and the screen reads.
#include "gfx2d/sprite_commands.h"

#include <string>

#include "core/last_error.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/command_checks.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_pixels.h"
#include "gfx2d/sprite_store.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;
constexpr int32_t kErrorBadNumber = 7;

// Clears the error; a bad id sets error 7 and gives no context.
OpenGLRainbows* ContextForLoad(int32_t sprite) {
  ClearLastError();
  if (!IsSpriteId(sprite)) SetLastErrorCode(kErrorBadNumber);
  return ContextForSprite(sprite);
}

void LoadNamedSprite(OpenGLRainbows& ctx, const Str& name, int32_t sprite, bool normalMap) {
  std::string resolved;
  if (!ResolveReadName(name, resolved) ||
      !LoadSpriteFile(ctx, sprite, resolved.c_str(), static_cast<int32_t>(ctx.transparentColour),
                      normalMap)) {
    SetLastErrorCode(kErrorNoSuchFile);
  }
}

}  // namespace

void LoadSprite(const Str& name, int32_t sprite) {
  OpenGLRainbows* ctx = ContextForLoad(sprite);
  if (!ctx) return;
  FreeSprite(*ctx, sprite);
  if (name.data[0] != '\0') LoadNamedSprite(*ctx, name, sprite, false);
}

void LoadNormalMapSpriteCmd(const Str& name, int32_t sprite) {
  OpenGLRainbows* ctx = ContextForLoad(sprite);
  if (!ctx) return;
  FreeSprite(*ctx, sprite);
  LoadNamedSprite(*ctx, name, sprite, true);
}

void GetSpriteSizeI(int32_t sprite, int32_t* width, int32_t* height) {
  *width = *height = 0;
  if (OpenGLRainbows* ctx = ContextForSprite(sprite)) GetSpriteSize(*ctx, sprite, width, height);
}

void GetSpriteSizeF(double sprite, double* width, double* height) {
  int32_t w, h;
  GetSpriteSizeI(IdFromDouble(sprite), &w, &h);
  *width = w;
  *height = h;
}

int32_t GetSpriteTextureId(int32_t sprite) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  return ctx ? static_cast<int32_t>(ctx->sprites[sprite].texture) : 0;
}

int32_t FindFreeSpriteCmd() {
  return GraphicsContext ? FindFreeSprite(*GraphicsContext) : -1;
}

int32_t GrabSpriteCmd(int32_t sprite, int32_t x, int32_t y, int32_t w, int32_t h) {
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  return ctx && GrabSprite(*ctx, sprite, x, y, w, h) ? 1 : 0;
}

void SetTransparentColourCmd(int32_t colour) {
  if (GraphicsContext) SetTransparentColour(*GraphicsContext, static_cast<uint32_t>(colour));
}

void SaveSpriteCmd(const Str& name, int32_t sprite) {
  ClearLastError();
  OpenGLRainbows* ctx = ContextForSprite(sprite);
  if (!ctx || !SaveSprite(*ctx, sprite, name.data)) SetLastErrorCode(kErrorNoSuchFile);
}
