// The installed 2D services, stand-ins until the 2D layer replaces them.
#include "frame/gfx2d_services.h"

#include "frame/gfx2d_standins.h"

namespace {

Gfx2dServices& Installed() {
  static Gfx2dServices services = Gfx2dStandIns();
  return services;
}

}  // namespace

Gfx2dServices Gfx2dStandIns() {
  // The services without a stand-in are installed by the 2D layer in every program.
  return {nullptr,                   nullptr,
          nullptr,                   StandInEndOffscreenScreen,
          StandInDeleteFramebuffer,  StandInLoadFramebufferExtensions,
          nullptr,                   nullptr,
          nullptr};
}

const Gfx2dServices& Gfx2d() { return Installed(); }

void InstallGfx2dServices(const Gfx2dServices& services) { Installed() = services; }
