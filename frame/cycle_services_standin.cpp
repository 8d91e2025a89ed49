// Stand-ins for the cycle's calls into the 3D layer until it installs its own. Without a shader
// layer there is no second texture or shader to switch. The music restart is the frame's own and
// needs no stand-in.
#include "frame/cycle_services.h"
#include "frame/music_player.h"

namespace {

void NoSecondTexture(int32_t) {}
void NoShaderSlot(Rainbows3D*, int32_t) {}

}  // namespace

CycleServices CycleStandIns() {
  return {InstalledBackgroundPictureDrawing(), InstalledSceneShadowPass(), NoSecondTexture,
          NoShaderSlot, RestartLoopingMusic};
}
