// Off-screen screens over framebuffer objects, with the copy fall-back, and the installation of
// the screen services into the frame.
#include "gfx2d/offscreen_screens.h"

#include <GL/gl.h>

#include <cstdlib>

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"
#include "frame/screen_orientation.h"
#include "gfx2d/framebuffer_objects.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/primitives.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/screen_reads.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/sprite_drawing.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_upload.h"

namespace {

// The fall-back keeps the window's content here: a record no program id reaches.
constexpr int32_t kWindowKeeperSprite = kSpriteCount - 1;

// The orientation the fall-back suspends while a screen is in use.
int32_t SavedFallbackOrientation = 0;

bool IsScreen(int32_t n) {
  return n >= 0 && n < kOffscreenScreenCount;
}

OffscreenScreen* CurrentScreen(OpenGLRainbows& ctx) {
  return IsScreen(ctx.currentScreen) ? &ctx.screens[ctx.currentScreen] : nullptr;
}

bool UploadBlankPicture(OpenGLRainbows& ctx, int32_t sprite, int32_t paddedW, int32_t paddedH) {
  RgbaImage blank;
  const bool made =
      ResizeImage(blank, paddedW, paddedH) &&
      UploadImageToTexture(blank, 0, 0, 0, 0, &ctx.sprites[sprite].texture, nullptr, false, false);
  ReleaseImage(blank);
  return made;
}

// The screen's picture goes into its sprite, the window gets its own content back.
void EndCopyFallback(OpenGLRainbows& ctx, const OffscreenScreen& screen) {
  const SpriteRecord& record = ctx.sprites[screen.sprite];
  GrabSprite(ctx, screen.sprite, 0, 0, record.width, record.height);
  FillRect(ctx, 0, 0, record.paddedWidth, record.paddedHeight, 0);
  DrawSprite(ctx, kWindowKeeperSprite, 0, 0);
  ctx.orientation = SavedFallbackOrientation;
}

// Drawing continues on the screen's picture, laid over the window's top-left corner.
void StartCopyFallback(OpenGLRainbows& ctx, int32_t n, int32_t width, int32_t height) {
  SavedFallbackOrientation = ctx.orientation;
  ctx.orientation = 0;
  ctx.currentScreen = -1;
  SetViewport(ctx, 0, 0, width, height);
  const uint32_t transparent = ctx.transparentColour;
  ctx.transparentColour = uint32_t(-1);
  GrabSprite(ctx, kWindowKeeperSprite, 0, 0, width, height);
  ctx.transparentColour = transparent;
  FillRect(ctx, 0, 0, width, height, ctx.transparentColour);
  DrawSprite(ctx, ctx.screens[n].sprite, 0, 0);
  ctx.currentScreen = n;
}

}  // namespace

void InstallScreenServices() {
  Gfx2dServices services = Gfx2d();
  services.endOffscreenScreen = EndOffscreenScreen;
  services.deleteFramebuffer = DeleteFramebuffer;
  services.loadFramebufferExtensions = LoadFramebufferExtensions;
  InstallGfx2dServices(services);
}

bool CreateOffscreenScreen(OpenGLRainbows& ctx, int32_t n, int32_t sprite, int32_t width,
                           int32_t height) {
  if (!IsScreen(n) || sprite < 0 || sprite >= kWindowKeeperSprite) return false;
  // Padding would turn a size of 0 into 16 and leave a texture under a sprite that counts as free.
  if (!FramebufferSizeAccepted(width, height) || !SpriteSizeFits(width, height)) return false;
  // The texture is padded as every sprite upload pads, so the recorded extents match it.
  const int32_t paddedW = PaddedSize(width);
  const int32_t paddedH = PaddedSize(height);
  FreeSprite(ctx, sprite);
  if (!UploadBlankPicture(ctx, sprite, paddedW, paddedH)) return false;
  SpriteRecord& record = ctx.sprites[sprite];
  DescribeSpritePicture(record, width, height);
  OffscreenScreen& screen = ctx.screens[n];
  if (!FboEntryPoints.supported) {
    // Without framebuffer objects the copy fall-back draws the screen; it only needs the sprite.
    DeleteFramebuffer(screen);
    screen.width = paddedW;
    screen.height = paddedH;
    screen.sprite = sprite;
    return true;
  }
  if (!CreateFramebuffer(screen, paddedW, paddedH, record.texture, true)) return false;
  screen.sprite = sprite;
  return true;
}

void EndOffscreenScreen(OpenGLRainbows& ctx) {
  FlushSpriteBatch();
  OffscreenScreen* screen = CurrentScreen(ctx);
  if (!screen) return;
  if (FboEntryPoints.supported) {
    UnbindFramebuffer(*screen);
  } else if (screen->sprite >= 0) {
    EndCopyFallback(ctx, *screen);
  }
  ctx.currentScreen = -1;
  SetViewport(ctx, 0, 0, 0, 0);
  InvalidateScreenReads();
}

void UseOffscreenScreen(OpenGLRainbows& ctx, int32_t n) {
  EndOffscreenScreen(ctx);
  if (!IsScreen(n) || ctx.screens[n].sprite < 0) return;
  OffscreenScreen& screen = ctx.screens[n];
  const int32_t width = ctx.sprites[screen.sprite].width;
  const int32_t height = ctx.sprites[screen.sprite].height;
  if (FboEntryPoints.supported) {
    ctx.currentScreen = n;
    BindFramebuffer(screen);
    SetViewport(ctx, 0, 0, width, height);
    glViewport(0, 0, width, height);
  } else {
    StartCopyFallback(ctx, n, width, height);
  }
  // The picture is about to change; its collision mask is read again when next needed.
  std::free(ctx.alphaMasks[screen.sprite]);
  ctx.alphaMasks[screen.sprite] = nullptr;
  InvalidateScreenReads();
}
