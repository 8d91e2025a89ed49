// The one 640 x 480 window the GL benchmarks draw in: headless, software-rendered, made on first
// use and kept for the whole run.
#pragma once

#include <cstdlib>

#include "frame/graphics_context.h"
#include "frame/graphics_window.h"
#include "frame/render_state.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx3d/scene_runtime_hooks.h"

inline OpenGLRainbows& BenchContext() {
  static OpenGLRainbows* ctx = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    InstallGfx2dLayer();
    InstallGfx3dLayer();
    auto* made = new OpenGLRainbows();
    if (!CreateGraphicsWindow(*made, nullptr, 640, 480, 0, 60, 0)) std::abort();
    ResetRenderState(*made);
    return made;
  }();
  return *ctx;
}
