// Stand-ins for the cycle's calls into the 2D, 3D and music layers until those layers install
// their own. Without a shader layer there is no second texture or shader to switch, and without
// the music layer there is never looping music to restart.
#include "frame/cycle_services.h"

namespace {

void NoBackgroundPicture(OpenGLRainbows&, int32_t) {}
void NoSecondTexture(int32_t) {}
void NoShaderSlot(Rainbows3D*, int32_t) {}
double NoLoopingMusic() {
  return 0.0;
}

}  // namespace

CycleServices CycleStandIns() {
  return {NoBackgroundPicture, InstalledSceneShadowPass(), NoSecondTexture, NoShaderSlot,
          NoLoopingMusic};
}
