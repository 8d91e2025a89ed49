// Stand-ins for the cycle's calls into the 2D and music layers until those layers install their
// own. Without the music layer there is never looping music to restart.
#include "frame/cycle_services.h"

namespace {

void NoBackgroundPicture(OpenGLRainbows&, int32_t) {}
double NoLoopingMusic() {
  return 0.0;
}

}  // namespace

CycleServices CycleLayerStandIns() {
  CycleServices services{};
  services.drawBackgroundPicture = NoBackgroundPicture;
  services.restartLoopingMusic = NoLoopingMusic;
  return services;
}
