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
  // The sprite and screen services have no stand-in: the 2D layer installs them in every program.
  return {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, StandInBuildDefaultFontImage,
          StandInReleaseImage};
}

const Gfx2dServices& Gfx2d() { return Installed(); }

void InstallGfx2dServices(const Gfx2dServices& services) { Installed() = services; }
