#include "frame/frame_cycle.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "core/str_value.h"
#include "platform/window.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/program_end.h"

TEST(FrameLimiter, NextFrameTimeNeverHurriesAfterALateFrame) {
  struct Case {
    double t, expected;
  } cases[] = {
      {1000.0, 1010.0}, {1010.0, 1010.0}, {1015.0, 1020.0}, {1025.0, 1035.0}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(AdvanceNextFrameTime(1000.0, 10.0, c.t), c.expected) << "t " << c.t;
  }
  EXPECT_DOUBLE_EQ(AdvanceNextFrameTime(1000.0, -4.0, 5000.0), 1000.0);
}

TEST(FrameLimiter, FramePeriods) {
  EXPECT_DOUBLE_EQ(FramePeriodMs(0), 2.0);
  EXPECT_DOUBLE_EQ(FramePeriodMs(-30), 2.0);
}

using FrameCycle = FrameCycleFixture;

TEST_F(FrameCycle, PresentWaitsUntilTheFrameTimeThenAdvancesIt) {
  FakeClockScope clock(kFakeStartMs, 0.25);
  OpenGLRainbows& ctx = Context();
  const double saved = ctx.msPerFrame;
  SetFrameRate(ctx, 60, 0);
  const double start = GetTimerAll();
  ctx.nextFrameTime = start + 20.0;
  EXPECT_EQ(PresentFrame(ctx, nullptr), 1);
  const double shownAt = GetTimerAll();
  // Shown no earlier than 1 ms before its time and without oversleeping it.
  EXPECT_GE(shownAt, start + 19.0);
  EXPECT_LE(shownAt, start + 20.5);
  EXPECT_DOUBLE_EQ(ctx.nextFrameTime, start + 20.0 + 1000.0 / 60);

  // A frame 2.5 periods late: the next one comes one period after it, not sooner (every clock
  // reading moves the fake clock on a little).
  const double late = GetTimerAll() - 2.5 * ctx.msPerFrame;
  ctx.nextFrameTime = late;
  PresentFrame(ctx, nullptr);
  EXPECT_GT(ctx.nextFrameTime, late + 3.0 * ctx.msPerFrame);
  EXPECT_NEAR(ctx.nextFrameTime - GetTimerAll(), ctx.msPerFrame, 1.5);
  ctx.msPerFrame = saved;
}

TEST_F(FrameCycle, AfterShowScreenTheNextFrameStartsIn2dDefaults) {
  OpenGLRainbows& ctx = Context();
  const int swaps = platform::test::SwapCount(ctx.window);
  glBlendFunc(GL_ONE, GL_ZERO);
  ctx.alphaTestReference = 1.0f;  // a frame drawn with the alpha test off
  ctx.drawAlpha = 0.3f;
  ShowScreen(1);
  EXPECT_EQ(platform::test::SwapCount(ctx.window), swaps + 1);

  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  GLfloat reference = 0, colour[4] = {};
  glGetFloatv(GL_ALPHA_TEST_REF, &reference);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_NEAR(reference, 0.05f, 1e-6);
  EXPECT_FLOAT_EQ(ctx.drawAlpha, 1.0f);
  for (GLfloat c : colour) EXPECT_FLOAT_EQ(c, 1.0f);

  ShowScreen(0);
  EXPECT_EQ(platform::test::SwapCount(ctx.window), swaps + 1);
}

TEST_F(FrameCycle, FrameTimesMoveOnEveryFrame) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  ShowScreen(0);
  const double first = FrameTimes.currentFrameStart;
  clock.Advance(16.0);
  ShowScreen(0);
  EXPECT_DOUBLE_EQ(FrameTimes.previousFrameStart, first);
  EXPECT_DOUBLE_EQ(FrameTimes.currentFrameStart, first + 16.0);
}

namespace {

int gMessageCallbacks = 0;
const UserFunctionEntry kWithMessageCallback[] = {{[] { ++gMessageCallbacks; }, "QRN_WIN32_MSG"},
                                                  {nullptr, nullptr}};

}  // namespace

TEST_F(FrameCycle, MessageCallbackIsLookedUpOnceAndRunsForEveryMessage) {
  ShowScreen(0);
  EXPECT_EQ(MessageCallbackCache.state, 0);
  // A table registered after the first frame is not looked at again.
  SetUserFunctionTable(kWithMessageCallback);
  ShowScreen(0);
  EXPECT_EQ(MessageCallbackCache.state, 0);

  ResetFrameCycleForTests();
  gMessageCallbacks = 0;
  platform::test::InjectText("ab");
  ShowScreen(0);
  EXPECT_EQ(MessageCallbackCache.state, 1);
  EXPECT_EQ(gMessageCallbacks, 2);
  CallWin32MsgCallback();
  EXPECT_EQ(gMessageCallbacks, 3);
}

TEST_F(FrameCycle, PumpHandsTypedCharactersAndControlKeysToTheQueue) {
  InputManager& input = StartInput();
  platform::test::InjectText("a");
  platform::test::InjectKey(28, true);  // Enter types a CR, stored as LF
  PumpMessages(Context(), nullptr);
  EXPECT_EQ(PopTypedChar(input.typedChars), 'a');
  EXPECT_EQ(PopTypedChar(input.typedChars), 10);
  EXPECT_EQ(PopTypedChar(input.typedChars), 0);
}

TEST_F(FrameCycle, EndKeys) {
  struct Case {
    int32_t escapeEnds;
    std::vector<int> keys;
    int expectedStatus;  // -1: the frame returns
  } cases[] = {
      {1, {1}, 0}, {0, {1}, -1}, {0, {56, 62}, 0}, {1, {56}, -1}, {0, {62}, -1},
  };
  for (const Case& c : cases) {
    platform::test::ResetInput();
    StartInput();
    EscapeEndsFlag = c.escapeEnds;
    for (int key : c.keys) platform::test::InjectKey(key, true);
    const int status = EndStatusOf([] { ShowScreen(0); });
    EXPECT_EQ(status, c.expectedStatus) << "escape ends " << c.escapeEnds << " key " << c.keys[0];
  }
}

TEST_F(FrameCycle, EscapeEndsTheProcessWithStatusZeroAndExitLast) {
  EXPECT_EXIT(
      {
        dup2(2, 1);  // standard output joins what the check reads
        StartInput();
        platform::test::InjectKey(1, true);
        ShowScreen(1);
        std::puts("still running");
        std::exit(3);
      },
      testing::ExitedWithCode(0), "exit\n$");
}
