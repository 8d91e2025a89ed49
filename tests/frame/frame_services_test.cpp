#include "frame/frame_services.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/process_globals.h"
#include "frame/hibernate.h"
#include "frame/input_manager.h"
#include "frame/runtime_objects.h"
#include "platform/input.h"
#include "tests/support/debug_capture.h"

TEST(FrameServices, EscapeEndsSwitch) {
  const std::pair<double, int32_t> cases[] = {
      {0.0, 0}, {-0.0, 0}, {-0.5, 1}, {std::numeric_limits<double>::quiet_NaN(), 1}};
  for (const auto& [value, flag] : cases) {
    SetEscapeEnds(value);
    EXPECT_EQ(EscapeEndsFlag, flag) << value;
  }
  EscapeEndsFlag = 1;
}

TEST(FrameServices, BreakpointResumesReactivatesAndLetsGoOfTheMouseOnlyUnderADebugger) {
  InputManager input;
  input.mouseDevice = true;  // taken exclusively, as a hidden-pointer start takes it
  InputObject = &input;
  platform::SetRelativeMode(true);
  PauseFlag = 1;
  ReactivateRequest = 0;
  DebugBreakpoint(255);  // no debugger
  EXPECT_EQ(PauseFlag, 1u);
  EXPECT_EQ(ReactivateRequest, 0);
  EXPECT_TRUE(platform::RelativeModeWanted());
  {
    DebugCapture capture;
    DebugBreakpoint(255);
    EXPECT_EQ(capture.lines, std::vector<std::string>{"BPff"});
  }
  EXPECT_EQ(PauseFlag, 0u);
  EXPECT_EQ(ReactivateRequest, 1);
  EXPECT_FALSE(platform::RelativeModeWanted());
  ReactivateRequest = 0;
  InputObject = nullptr;
}
