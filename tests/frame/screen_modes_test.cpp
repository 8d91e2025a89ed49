// Screen modes: windowed sizes that keep the context, fullscreen and its fall-back, the settling
// frames and the frame rate kept across them.
#include "frame/screen_modes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "core/process_globals.h"
#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/runtime_startup.h"
#include "frame/screen_mode_commands.h"
#include "frame/window_placements.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

// A context of its own (the shared one keeps its size for the other tests), made the process's
// graphics context.
class ScreenModes : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    ScreenSettings.fullscreen = 0;
  }
  void TearDown() override {
    ctx_.reset();
    FrameCycleFixture::TearDown();
  }

  OpenGLRainbows& Make(int32_t width, int32_t height, int32_t samples = 0) {
    ctx_ = std::make_unique<OpenGLRainbows>();
    EXPECT_TRUE(CreateGraphicsWindow(*ctx_, nullptr, width, height, 0, 1000, samples))
        << platform::LastWindowError();
    GraphicsContext = ctx_.get();
    return *ctx_;
  }

  std::string Log() const { return TempDir::ReadBytes(logFolder_.Child("ErrorLog.txt")); }

  TempDir logFolder_{true};
  std::unique_ptr<OpenGLRainbows> ctx_;
};

// A red 1 x 1 texture, to see whether GL objects outlive a mode change.
GLuint RedTexture() {
  const uint8_t red[4] = {255, 0, 0, 255};
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
  return texture;
}

void DrawTextured(GLuint texture, float x, float y, float size) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2f(x, y);
  glTexCoord2f(1, 0), glVertex2f(x + size, y);
  glTexCoord2f(1, 1), glVertex2f(x + size, y + size);
  glTexCoord2f(0, 1), glVertex2f(x, y + size);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

std::array<GLint, 4> Viewport() {
  std::array<GLint, 4> viewport{};
  glGetIntegerv(GL_VIEWPORT, viewport.data());
  return viewport;
}

TEST_F(ScreenModes, WindowedModeShowsFiveFramesWithTheWholeWindowAsViewport) {
  OpenGLRainbows& ctx = Make(320, 200);
  const int swaps = platform::test::SwapCount(ctx.window);
  ChangeScreenMode(640, 480, 0);
  EXPECT_EQ(platform::test::SwapCount(ctx.window) - swaps, 5);
  EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
  EXPECT_TRUE(platform::WindowShown(ctx.window));
  EXPECT_EQ(ConfiguredScreenWidth, 640);

  // A negative size gives the smallest window there is, and says so.
  EXPECT_TRUE(SetScreenMode(ctx, -5, -5, 0, 0));
  int width = 0, height = 0;
  platform::DrawableSize(ctx.window, &width, &height);
  EXPECT_EQ((std::array<int32_t, 4>{ctx.windowWidth, ctx.windowHeight, width, height}),
            (std::array<int32_t, 4>{1, 1, 1, 1}));
  ChangeScreenMode(640, 480, 0);

  // No size given keeps the stored one.
  EXPECT_TRUE(SetScreenMode(ctx, 0, 0, 0, 0));
  EXPECT_EQ(ctx.windowWidth, 640);
  EXPECT_EQ(ctx.windowHeight, 480);
}

TEST_F(ScreenModes, LargerWindowDrawsEverywhereWithTheTexturesMadeBefore) {
  for (int32_t samples : {0, 4}) {
    SCOPED_TRACE(samples);
    OpenGLRainbows& ctx = Make(640, 480, samples);
    const GLuint texture = RedTexture();
    ChangeScreenMode(800, 600, 0);
    int width = 0, height = 0;
    platform::DrawableSize(ctx.window, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    ASSERT_TRUE(glIsTexture(texture)) << "the context went with the old window";
    DrawTextured(texture, 690, 490, 20);
    EXPECT_EQ(gltest::ReadBackPixel(ctx, 700, 500), (gltest::Rgba{255, 0, 0, 255}));
  }
}

TEST_F(ScreenModes, FullscreenAtTheDesktopSizeKeepsTheTexturesAndComesBackWindowed) {
  OpenGLRainbows& ctx = Make(640, 480);
  platform::SetTitle(ctx.window, "Strip");
  const GLuint texture = RedTexture();
  ChangeScreenMode(DesktopWidth, DesktopHeight, 1);
  EXPECT_EQ(ScreenSettings.fullscreen, 1);
  EXPECT_EQ(platform::Title(ctx.window), "Strip");
  EXPECT_EQ(MainWindowHandle, platform::WindowId(ctx.window));
  ASSERT_TRUE(glIsTexture(texture));
  DrawTextured(texture, DesktopWidth - 20.0f, DesktopHeight - 20.0f, 20);
  EXPECT_EQ(gltest::ReadBackPixel(ctx, DesktopWidth - 10, DesktopHeight - 10),
            (gltest::Rgba{255, 0, 0, 255}));

  ChangeScreenMode(640, 480, 0);
  EXPECT_EQ(ctx.fullscreen, 0);
  EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
  EXPECT_TRUE(glIsTexture(texture));
}

TEST_F(ScreenModes, FullscreenSizeTheDisplayLacksFallsBackToTheWindow) {
  OpenGLRainbows& ctx = Make(320, 200);
  const int swaps = platform::test::SwapCount(ctx.window);
  ChangeScreenMode(640, 480, 1);
  EXPECT_NE(Log().find("No Fullscreen Mode available\n"), std::string::npos);
  EXPECT_EQ(ctx.fullscreen, 0);
  EXPECT_EQ(Viewport(), (std::array<GLint, 4>{0, 0, 640, 480}));
  EXPECT_EQ(platform::test::SwapCount(ctx.window) - swaps, 5) << "the frames are shown anyway";
}

TEST_F(ScreenModes, SteppingAsideHidesTheWindowUntilTheNextMode) {
  OpenGLRainbows& ctx = Make(640, 480);
  ChangeScreenMode(DesktopWidth, DesktopHeight, 1);
  ASSERT_EQ(ctx.fullscreen, 1);
  EXPECT_TRUE(LeaveFullscreen(ctx));
  EXPECT_EQ(ctx.fullscreen, 0);
  EXPECT_FALSE(platform::WindowShown(ctx.window));
  ApplyWindowMode(ctx);
  EXPECT_TRUE(platform::WindowShown(ctx.window));
}

// Whatever holds the main window follows it into a re-created one: the next frame reads the
// mouse of the live window, not of the destroyed one.
TEST_F(ScreenModes, AFullscreenWindowIsHandedToInputAndTheMainWindowHandle) {
  OpenGLRainbows& ctx = Make(640, 480);
  InputManager input;
  ASSERT_EQ(InputInit(input, ctx.window, false), 1u);
  InputObject = &input;
  AdoptMainWindow(ctx);
  const platform::Window* old = ctx.window;
  ASSERT_TRUE(SetScreenMode(ctx, DesktopWidth, DesktopHeight, 0, 1));
  ASSERT_NE(ctx.window, old);
  EXPECT_EQ(input.window, ctx.window);
  EXPECT_EQ(platform::WindowFromId(GetMainWindow()), ctx.window);
  ShowScreen(1);
  InputRelease(input);
  InputObject = nullptr;
}

int gModePauses = 0;
const UserFunctionEntry kCountPauses[] = {{[] { ++gModePauses; }, "QRN_ON_PAUSE"},
                                          {nullptr, nullptr}};

// A window replaced under the main one (a size change) still reports its focus loss.
TEST_F(ScreenModes, OnlyTheMainWindowsFocusChangesPauseTheProgram) {
  OpenGLRainbows& ctx = Make(640, 480);
  AdoptMainWindow(ctx);
  SetUserFunctionTable(kCountPauses);
  gModePauses = 0;
  ChangeScreenMode(800, 600, 0);
  platform::Window* other = platform::CreateWindow(64, 64, 0);
  ASSERT_NE(other, nullptr);
  platform::test::InjectFocus(false, other);
  PumpMessages(ctx, nullptr);
  EXPECT_TRUE(PauseFlag == 0 && gModePauses == 0);
  platform::test::InjectFocus(false, ctx.window);
  PumpMessages(ctx, nullptr);
  EXPECT_TRUE(PauseFlag == 1 && gModePauses == 1);
  platform::DestroyWindow(other);
}

TEST(WindowPlacements, VisibleWindowsAreRecordedAndThoseStillThereArePutBack) {
  gltest::SharedContext();
  platform::Window* made[3];  // shown, shown then closed, hidden
  for (platform::Window*& window : made) window = platform::CreateWindow(64, 48, 0);
  platform::ShowAndRaise(made[0]);
  platform::ShowAndRaise(made[1]);
  platform::WindowPlacement before, after;
  platform::GetPlacement(made[0], before);
  SaveWindowPlacements();
  const int32_t count = WindowPlacementList.count;
  ASSERT_GE(count, 2);
  EXPECT_EQ(WindowPlacementList.entries[size_t(count - 2)].window, platform::WindowId(made[0]));
  EXPECT_EQ(WindowPlacementList.entries[size_t(count - 1)].window, platform::WindowId(made[1]));
  platform::DestroyWindow(made[1]);
  platform::SetPlacement(made[0], {before.x + 7, before.y + 9, 32, 24, false});
  RestoreWindowPlacements();
  platform::GetPlacement(made[0], after);
  EXPECT_EQ((std::array<int, 5>{after.x, after.y, after.width, after.height, after.shown}),
            (std::array<int, 5>{before.x, before.y, 64, 48, 1}));
  WindowPlacementList.count = kMostWindowPlacements;
  SaveWindowPlacementCallback(made[0], nullptr);
  EXPECT_EQ(WindowPlacementList.count, kMostWindowPlacements) << "no 257th entry";
  WindowPlacementList.count = 0;
  platform::DestroyWindow(made[0]);
  platform::DestroyWindow(made[2]);
}

TEST(FrameRateOfPeriod, RoundsToTheRateTheProgramSet) {
  EXPECT_EQ(FramesPerSecondOfPeriod(1000.0 / 60), 60);
  EXPECT_EQ(FramesPerSecondOfPeriod(33.33333206f), 30);
  EXPECT_EQ(FramesPerSecondOfPeriod(2.0), 500);
  EXPECT_EQ(FramesPerSecondOfPeriod(0.0), 5);
  EXPECT_EQ(FramesPerSecondOfPeriod(-1.0), 5);
}

}  // namespace
