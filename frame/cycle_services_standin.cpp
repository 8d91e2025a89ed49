// Stand-ins for the cycle's calls into the 2D and 3D layers until those layers install their
// own. Without a shader layer there is no second texture or shader to switch. The music restart
// is the frame's own and needs no stand-in.
#include "frame/cycle_services.h"
#include "frame/music_player.h"

namespace {

void NoBackgroundPicture(OpenGLRainbows&, int32_t) {}
void NoSecondTexture(int32_t) {}
void NoShaderSlot(Rainbows3D*, int32_t) {}

}  // namespace

CycleServices CycleStandIns() {
  return {NoBackgroundPicture, InstalledSceneShadowPass(), NoSecondTexture, NoShaderSlot,
          RestartLoopingMusic};
}
