// Stand-ins for the cycle's calls into the 3D and music layers until those layers install their
// own. Without a 3D scene there is no shadow pass, second texture or shader to switch, and
// without the music layer there is never looping music to restart. The background picture has
// none: the 2D layer installs its drawing at start-up in every program linked with the library.
#include "frame/cycle_services.h"

namespace {

void NoShadowPass(Rainbows3D*, int32_t) {}
void NoSecondTexture(int32_t) {}
void NoShaderSlot(Rainbows3D*, int32_t) {}
double NoLoopingMusic() {
  return 0.0;
}

}  // namespace

CycleServices CycleStandIns() {
  return {nullptr, NoShadowPass, NoSecondTexture, NoShaderSlot, NoLoopingMusic};
}
