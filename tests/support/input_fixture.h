// A fresh input object as the process's InputObject, over an emptied platform event intake, and
// a 640 x 480 graphics context (no window, no GL) as GraphicsContext for the orientation maps.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "frame/graphics_context.h"
#include "frame/input_commands.h"
#include "frame/input_manager.h"
#include "frame/runtime_objects.h"
#include "platform/input.h"
#include "platform/joystick.h"

class InputFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::test::ResetInput();
    KeyPollCounter = 0;
    Screen().orientation = 0;
    GraphicsContext = &Screen();
  }

  void TearDown() override {
    if (input_) InputRelease(*input_);
    InputObject = nullptr;
    GraphicsContext = nullptr;
    input_.reset();
    platform::test::DetachVirtualJoysticks();
    platform::test::ResetInput();
  }

  // Makes the input object (after any virtual controllers are attached, as start-up finds them).
  InputManager& StartInput(bool exclusiveMouse = false) {
    if (input_) InputRelease(*input_);
    input_ = std::make_unique<InputManager>();
    // A headless driver will not capture the exclusive mouse; the mouse works all the same.
    EXPECT_TRUE(InputInit(*input_, nullptr, exclusiveMouse) == 1u || exclusiveMouse);
    InputObject = input_.get();
    return *input_;
  }

  // Deliberately never deleted: its destructor tears down a window this context never had.
  static OpenGLRainbows& Screen() {
    static OpenGLRainbows* ctx = [] {
      auto* made = new OpenGLRainbows();
      made->windowWidth = 640;
      made->windowHeight = 480;
      return made;
    }();
    return *ctx;
  }

 private:
  std::unique_ptr<InputManager> input_;
};
