// A fresh 3D scene as the process's scene for one test, with or without a graphics context, and
// the 3D command layer's, the model builder's and the error state at their start values.
#pragma once

#include "core/last_error.h"
#include "frame/frame_services.h"
#include "frame/runtime_objects.h"
#include "gfx3d/collision_queries.h"
#include "gfx3d/mode_commands.h"
#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"

class SceneCommandScope {
 public:
  explicit SceneCommandScope(OpenGLRainbows* ctx = nullptr) : scene(ctx), saved_(SceneObject) {
    SceneObject = &scene;
    Reset();
  }
  ~SceneCommandScope() {
    SceneObject = saved_;
    Reset();
  }
  SceneCommandScope(const SceneCommandScope&) = delete;
  SceneCommandScope& operator=(const SceneCommandScope&) = delete;

  Rainbows3D scene;

 private:
  static void Reset() {
    BuildObjectIndex = -1;
    ResetModeCommandsForTests();
    ResetLastHitForTests();
    ClearLastError();
    DebugFlag = 0;
  }
  Rainbows3D* saved_;
};
