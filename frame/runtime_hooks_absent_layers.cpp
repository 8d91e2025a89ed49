// The start-up and shutdown answers of layers a program does not link (a program on the frame
// alone, such as the frame's own tests). Without a 3D layer there is no scene; without the
// network layer no record; without the 2D fonts the built-in set stays font 0.
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

StartupHooks AbsentLayerStartupHooks() {
  return {NoScene, NoNetworkState, ClearColourOnly, NoFontFiles, NoFontSelection};
}

ShutdownHooks AbsentLayerShutdownHooks() {
  return {NoNetworkToRelease, NoSceneToDelete};
}
