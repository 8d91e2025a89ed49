// One graphics context (a hidden 640 x 480 window with its GL context) shared by every GL test of
// a test binary, made on first use and kept to the end of the process, plus pixel read-back.
// Each test starts with the context current, orientation 0, the window as target and the 2D
// default render state. Its log lines go to a private temporary folder, never to /tmp.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"
#include "frame/graphics_window.h"
#include "frame/render_state.h"
#include "tests/support/temp_dir.h"

// Mesa's software driver leaks about 1 MiB whenever a multisampled surface is destroyed; that is
// not ours to fix, and everything else stays under the leak check.
extern "C" __attribute__((used)) inline const char* __lsan_default_suppressions() {
  return "leak:swrast_dri.so\n";
}

namespace gltest {

using Rgba = std::array<uint8_t, 4>;

// The pixel at window point (x, y), origin top-left, read from the back buffer (before any swap).
inline Rgba ReadBackPixel(const OpenGLRainbows& ctx, int x, int y) {
  Rgba pixel{};
  FlushHeldSpriteDraws();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, ctx.windowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

// The shared context, made on first use and deliberately never deleted: at exit SDL and the GL
// driver are gone before static destructors run. Tests that make contexts of their own call it
// first too, so the driver stays loaded between their contexts.
inline OpenGLRainbows& SharedContext() {
  static OpenGLRainbows* context = [] {
    TempDir logFolder(true);
    auto* ctx = new OpenGLRainbows();
    CreateGraphicsWindow(*ctx, nullptr, 640, 480, 0, 60, 0);
    return ctx;
  }();
  return *context;
}

}  // namespace gltest

class GlFixture : public ::testing::Test {
 protected:
  static OpenGLRainbows& Context() { return gltest::SharedContext(); }

  void SetUp() override {
    OpenGLRainbows& ctx = Context();
    ASSERT_NE(ctx.window, nullptr) << platform::LastWindowError();
    ASSERT_TRUE(platform::MakeCurrent(ctx.window, ctx.glContext));
    ctx.orientation = 0;
    ctx.currentScreen = -1;
    ResetRenderState(ctx);
  }
};
