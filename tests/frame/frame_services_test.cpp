#include "frame/frame_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/process_globals.h"
#include "frame/hibernate.h"
#include "tests/support/debug_capture.h"

TEST(FrameServices, EscapeEndsSwitch) {
  struct Case {
    double value;
    int32_t flag;
  } cases[] = {
      {0.0, 0}, {-0.0, 0}, {1.0, 1}, {-0.5, 1}, {std::numeric_limits<double>::quiet_NaN(), 1}};
  for (const Case& c : cases) {
    SetEscapeEnds(c.value);
    EXPECT_EQ(EscapeEndsFlag, c.flag) << c.value;
  }
  EscapeEndsFlag = 1;
}

TEST(FrameServices, CaptionIsEmptyBeforeTheStartUpSetsIt) {
  ResetFrameServicesForTests();
  EXPECT_EQ(StrLength(GetCaptionText()), 0);
  StrAssignCString(GetCaptionText(), "tile2cubes");
  EXPECT_TRUE(StrEqualsCString(GetCaptionText(), "tile2cubes"));
  ResetFrameServicesForTests();
}

TEST(FrameServices, SourcePositionAndMainWindow) {
  SetSourcePosition(12, 345);
  EXPECT_EQ(SourcePositionWord, 12);
  EXPECT_EQ(SourceLineWord, 345);
  SetSourcePosition(0, 0);
  MainWindowHandle = 7;
  EXPECT_EQ(GetMainWindow(), 7u);
  MainWindowHandle = 0;
}

TEST(FrameServices, BreakpointResumesAndReactivatesOnlyUnderADebugger) {
  PauseFlag = 1;
  ReactivateRequest = 0;
  DebugBreakpoint(255);  // no debugger: nothing changes
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
