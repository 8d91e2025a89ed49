// Stand-ins for the start-up and shutdown calls into layers not built yet. Without a 3D layer
// there is no scene; without the network layer no record; without the 2D fonts the built-in set
// stays font 0.
#include "frame/graphics_context.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"

namespace {

Rainbows3D* NoScene(OpenGLRainbows&) {
  return nullptr;
}
void NoNetworkState() {}
void ClearColourOnly(int32_t colour) {
  if (GraphicsContext) ClearScreenColour(*GraphicsContext, colour);
}
bool NoFontFiles(const char*, int32_t) {
  return false;
}
void NoFontSelection(int32_t) {}

void NoNetworkToRelease() {}
void NoSceneToDelete(Rainbows3D*) {}

}  // namespace

StartupHooks StartupStandIns() {
  return {NoScene, NoNetworkState, ClearColourOnly, NoFontFiles, NoFontSelection};
}

ShutdownHooks ShutdownStandIns() {
  return {NoNetworkToRelease, NoSceneToDelete};
}
