// The shared GL context as the process's graphics context with a fresh 3D scene behind the
// program's commands; what the commands print is captured and dropped.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "gfx3d/mode_commands.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/scene_commands.h"

class SceneCommandsGlFixture : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    GraphicsContext = &Context();
    testing::internal::CaptureStdout();
    scope = std::make_unique<SceneCommandScope>(&Context());
  }
  void TearDown() override {
    End3DMode();
    scope.reset();
    testing::internal::GetCapturedStdout();
    GraphicsContext = nullptr;
  }

  std::unique_ptr<SceneCommandScope> scope;
};
