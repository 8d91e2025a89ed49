// The 3D scene's part of the runtime's start-up and quit sequence, installed into the frame's
// hooks: the scene is made after the graphics context and deleted while the context still exists.
#include "frame/runtime_hooks.h"
#include "gfx3d/scene.h"

namespace {

Rainbows3D* MakeScene(OpenGLRainbows& ctx) {
  return new Rainbows3D(&ctx);
}

void DeleteScene(Rainbows3D* scene) {
  delete scene;
}

bool InstallSceneHooks() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks& shutdown) {
    startup.makeScene = MakeScene;
    shutdown.deleteScene = DeleteScene;
  });
  return true;
}

}  // namespace

// The frame cannot name this layer; the link flag in gfx3d/CMakeLists.txt keeps this object in
// every program linked with the library.
extern "C" const bool qrn_gfx3d_scene_hooks_installed = InstallSceneHooks();
