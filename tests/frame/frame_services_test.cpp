#include "frame/frame_services.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/process_globals.h"
#include "frame/hibernate.h"
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

TEST(FrameServices, BreakpointResumesAndReactivatesOnlyUnderADebugger) {
  PauseFlag = 1;
  ReactivateRequest = 0;
  DebugBreakpoint(255);  // no debugger
  EXPECT_EQ(PauseFlag, 1u);
  EXPECT_EQ(ReactivateRequest, 0);
  {
    DebugCapture capture;
    DebugBreakpoint(255);
    EXPECT_EQ(capture.lines, std::vector<std::string>{"BPff"});
  }
  EXPECT_EQ(PauseFlag, 0u);
  EXPECT_EQ(ReactivateRequest, 1);
  ReactivateRequest = 0;
}
