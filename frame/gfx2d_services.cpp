// The installed 2D services; empty until the 2D layer installs them at start-up.
#include "frame/gfx2d_services.h"

#include "frame/cycle_services.h"
#include "frame/runtime_hooks.h"

namespace {

Gfx2dServices& Installed() {
  static Gfx2dServices services{};
  return services;
}

}  // namespace

const Gfx2dServices& Gfx2d() { return Installed(); }

void InstallGfx2dServices(const Gfx2dServices& services) { Installed() = services; }

bool Gfx2dLayerInstalled() {
  const Gfx2dServices& s = Installed();
  const bool services = s.bindSpriteTextures && s.uploadImageToTexture && s.freeSprite &&
                        s.endOffscreenScreen && s.deleteFramebuffer &&
                        s.loadFramebufferExtensions && s.buildDefaultFontImage &&
                        s.releaseImage && s.invalidateScreenReads && s.flushSpriteBatch &&
                        s.grabBackground && s.setBackgroundTilesAside && s.printText;
  const StartupHooks& startup = GetStartupHooks();
  return services && InstalledBackgroundPictureDrawing() && startup.clearScreen &&
         startup.loadFont && startup.selectFont;
}

void FlushHeldSpriteDraws() {
  if (Installed().flushSpriteBatch) Installed().flushSpriteBatch();
}
