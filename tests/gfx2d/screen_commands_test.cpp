// The screen commands: frame period and timer, orientation with the active size, and the
// viewport commands leaving the shadow pass.
#include "gfx2d/screen_commands.h"

#include <cmath>
#include <vector>

#include "frame/graphics_context.h"
#include "tests/gfx2d/command_fixture.h"

namespace {

std::vector<int32_t> ShadowPassCalls;

class ScreenCommands : public CommandFixture {
 protected:
  void TearDown() override {
    SetOrientationCmd(0);
    CommandFixture::TearDown();
  }
};

TEST_F(ScreenCommands, FramePeriodAndTimer) {
  OpenGLRainbows& ctx = Context();
  const double before = ctx.msPerFrame;
  SetFrameRateCmd(0, 0);
  EXPECT_EQ(ctx.msPerFrame, 2.0);
  SetFrameRateCmd(std::nan(""), 0);
  EXPECT_EQ(ctx.msPerFrame, 2.0);
  SetFrameRateCmd(60.9, 0);
  EXPECT_EQ(ctx.msPerFrame, 16.66666603088379) << "worked out in single precision";
  SetFrameRateCmd(1e12, 0);
  EXPECT_GT(ctx.msPerFrame, 0.0);
  ctx.msPerFrame = before;

  FrameTimes.currentFrameStart = FrameTimes.previousFrameStart = 500.0;
  EXPECT_EQ(GetTimer(), 1.0);
  FrameTimes.currentFrameStart = 517.5;
  EXPECT_EQ(GetTimer(), 17.5);
  SleepMs(-1);  // would sleep for weeks if taken as unsigned
}

TEST_F(ScreenCommands, OrientationTurnsTheActiveSizeAndLeavesTheShadowPass) {
  CycleServices probe = CycleStandIns();
  probe.setShadowPass = [](Rainbows3D*, int32_t on) { ShadowPassCalls.push_back(on); };
  InstallCycleServices(probe);
  ShadowPassCalls.clear();

  SetOrientationCmd(9);
  EXPECT_EQ(GetOrientationCmd(), 3);
  double w = 0, h = 0;
  GetActiveScreenSizeF(&w, &h);
  EXPECT_EQ(w, 480);
  EXPECT_EQ(h, 640);
  SetOrientationCmd(-4);
  EXPECT_EQ(GetOrientationCmd(), 0);

  SetViewportCmd(10, 20, 100, 50);
  int32_t x, y, vw, vh;
  GetViewportI(&x, &y, &vw, &vh);
  EXPECT_EQ((std::vector<int32_t>{x, y, vw, vh}), (std::vector<int32_t>{10, 20, 100, 50}));
  EXPECT_EQ(ShadowPassCalls, (std::vector<int32_t>{0, 0, 0}));
}

}  // namespace
