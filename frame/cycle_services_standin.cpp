// Stand-in for the cycle's call into the 2D layer until that layer installs its own. The scene's
// calls come from the 3D layer and the music restart is the frame's own; neither needs one.
#include "frame/cycle_services.h"
#include "frame/music_player.h"

namespace {

void NoBackgroundPicture(OpenGLRainbows&, int32_t) {}

}  // namespace

CycleServices CycleLayerStandIns() {
  CycleServices services{};
  services.drawBackgroundPicture = NoBackgroundPicture;
  services.restartLoopingMusic = RestartLoopingMusic;
  return services;
}
