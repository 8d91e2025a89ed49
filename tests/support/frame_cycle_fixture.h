// The shared GL context as the process's GraphicsContext with a fresh input object over an
// emptied event intake, and the frame cycle's, pause and callback state at their start values.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/process_globals.h"
#include "core/user_functions.h"
#include "frame/cycle_services.h"
#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/input_commands.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "system/timers.h"
#include "tests/support/gl_fixture.h"

// GetTimerAll counts from the process's first (real) reading: a fake clock far beyond it keeps
// the readings positive, as the music loop time needs.
constexpr double kFakeStartMs = 1e10;

class FrameCycleFixture : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    platform::test::ResetInput();
    ResetFrameCycleForTests();
    ResetFrameServicesForTests();
    ResetInputScriptForTests();
    ResetUserFunctionsForTests();
    InstallCycleServices(CycleStandIns());
    PauseFlag = 0;
    AutoPauseFlag = 1;
    EscapeEndsFlag = 1;
    KeyPollCounter = 0;
    GraphicsContext = &Context();
    Context().nextFrameTime = GetTimerAll();
  }

  void TearDown() override {
    if (input_) InputRelease(*input_);
    InputObject = nullptr;
    GraphicsContext = nullptr;
    input_.reset();
    platform::test::DetachVirtualJoysticks();
    platform::test::ResetInput();
    InstallCycleServices(CycleStandIns());
    SetUserFunctionTable(nullptr);
    PauseFlag = 0;
  }

  // Made after any virtual controllers are attached, as start-up finds them.
  InputManager& StartInput() {
    input_ = std::make_unique<InputManager>();
    EXPECT_EQ(InputInit(*input_, Context().window, false), 1u);
    InputObject = input_.get();
    return *input_;
  }

 private:
  std::unique_ptr<InputManager> input_;
};
