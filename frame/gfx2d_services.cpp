// The installed 2D services; empty until the 2D layer installs them at start-up.
#include "frame/gfx2d_services.h"

namespace {

Gfx2dServices& Installed() {
  static Gfx2dServices services{};
  return services;
}

}  // namespace

const Gfx2dServices& Gfx2d() { return Installed(); }

void InstallGfx2dServices(const Gfx2dServices& services) { Installed() = services; }

void FlushHeldSpriteDraws() {
  if (Installed().flushSpriteBatch) Installed().flushSpriteBatch();
}
