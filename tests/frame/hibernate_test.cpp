#include "frame/hibernate.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <string>
#include <thread>

#include "core/str.h"
#include "frame/music_loop.h"
#include "frame/waits.h"
#include "frame/window_procedure.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace {

int gPauses = 0;
int gResumes = 0;
const UserFunctionEntry kPauseCallbacks[] = {{[] { ++gPauses; }, "QRN_ON_PAUSE"},
                                             {[] { ++gResumes; }, "QRN_ON_RESUME"},
                                             {nullptr, nullptr}};

// The music layer's restart, called on every pass of a waiting loop once the loop time has
// come: the place where a test acts while the program waits.
int gRestarts = 0;
void (*gOnRestart)(int restart) = nullptr;
double RestartAndAct() {
  ++gRestarts;
  if (gOnRestart) gOnRestart(gRestarts);
  MusicLoopTime = 1.0;  // due again at the next pass
  return 0.0;
}

class Waiting : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    gPauses = gResumes = gRestarts = 0;
    gOnRestart = nullptr;
    StrAssignCString(GetCaptionText(), "tile2cubes");
  }

  // Calls `act` on every pass of the waiting loops from now on.
  void ActWhileWaiting(void (*act)(int restart)) {
    CycleServices services = CycleStandIns();
    services.restartLoopingMusic = RestartAndAct;
    InstallCycleServices(services);
    gOnRestart = act;
    MusicLoopTime = 1.0;
  }
};

}  // namespace

TEST_F(Waiting, FocusChangesPauseAndResumeWithTheCaption) {
  struct Case {
    uint32_t autoPause;
    int32_t debug;
    const char* pausedTitle;
    uint32_t pausedFlag;
    int pauses;
  } cases[] = {
      {1, 0, "tile2cubes <pause>", 1, 1},
      {0, 0, "tile2cubes <pause>", 0, 0},
      {1, 1, "tile2cubes", 0, 0},
  };
  SetUserFunctionTable(kPauseCallbacks);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "auto-pause " << c.autoPause << " debug " << c.debug);
    gPauses = gResumes = 0;
    AutoPauseFlag = c.autoPause;
    DebugFlag = c.debug;
    platform::SetTitle(Context().window, "tile2cubes");
    platform::test::InjectFocus(false);
    PumpMessages(Context(), nullptr);
    EXPECT_EQ(platform::Title(Context().window), c.pausedTitle);
    EXPECT_EQ(PauseFlag, c.pausedFlag);
    EXPECT_EQ(gPauses, c.pauses);
    platform::test::InjectFocus(true);
    PumpMessages(Context(), nullptr);
    EXPECT_EQ(platform::Title(Context().window), "tile2cubes");
    EXPECT_EQ(PauseFlag, 0u);
    EXPECT_EQ(gResumes, c.pauses);
  }
}

TEST_F(Waiting, ClosingTheWindowEndsTheProgramWithStatusZero) {
  platform::test::InjectClose();
  EXPECT_EQ(EndStatusOf([] { PumpMessages(Context(), nullptr); }), 0);
}

TEST_F(Waiting, APausedFrameStaysInThePauseLoopUntilResumed) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  SetUserFunctionTable(kPauseCallbacks);
  platform::test::InjectFocus(false);
  PumpMessages(Context(), nullptr);
  ASSERT_EQ(PauseFlag, 1u);
  ActWhileWaiting([](int restart) {
    if (restart == 3) platform::test::InjectFocus(true);
  });
  testing::internal::CaptureStdout();
  ShowScreen(0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "pause loop in showscreen/hibernate\npause loop ended\n");
  EXPECT_EQ(gRestarts, 3);  // the music kept going while paused
  EXPECT_EQ(PauseFlag, 0u);
  EXPECT_EQ(gResumes, 1);
}

TEST_F(Waiting, HibernateIdlesFifteenPassesUnlessTheUserActs) {
  struct Case {
    const char* what;
    bool attachStick;
    int32_t orientation;
    void (*act)();
    double expectedIdleMs;
  } cases[] = {
      {"nothing", false, 0, [] {}, 75.0},
      {"held key", false, 0, [] { platform::test::InjectKey(30, true); }, 0.0},
      // A button already held when the wait starts is part of the baseline.
      {"held button", false, 0, [] { platform::test::InjectMouseButton(0, true); }, 75.0},
      // A centred hat is no input in any orientation; a pushed hat or stick is.
      {"centred stick, turned screen", true, 1, [] {}, 75.0},
      {"hat left, turned screen", true, 1,
       [] { platform::test::SetVirtualHat(0, 0, platform::test::kHatLeft); }, 0.0},
      {"stick pushed", true, 0, [] { platform::test::SetVirtualAxis(0, 1, -20000); }, 0.0},
      // After a breakpoint the pause loop cannot hold, but the wait must still idle.
      {"paused, reactivation pending", false, 0, [] { PauseFlag = ReactivateRequest = 1; }, 75.0},
  };
  for (const Case& c : cases) {
    FakeClockScope clock(kFakeStartMs, 0.0);
    platform::test::ResetInput();
    if (c.attachStick) platform::test::AttachVirtualJoystick(3, 4, 1, false);
    StartInput();
    Context().orientation = c.orientation;
    Hibernate();  // takes the baseline of a quiet mouse
    c.act();
    const double before = GetTimerAll();
    Hibernate();
    EXPECT_DOUBLE_EQ(GetTimerAll() - before, c.expectedIdleMs) << c.what;
    platform::test::DetachVirtualJoysticks();
    Context().orientation = 0;
    PauseFlag = ReactivateRequest = 0;
  }
}

TEST_F(Waiting, AMousePressDuringTheWaitEndsHibernate) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  ActWhileWaiting([](int) { platform::test::InjectMouseButton(1, true); });
  const double before = GetTimerAll();
  Hibernate();
  EXPECT_EQ(gRestarts, 1);
  EXPECT_DOUBLE_EQ(GetTimerAll() - before, 0.0);
}

TEST_F(Waiting, EscapeEndsAHibernatingProgram) {
  StartInput();
  platform::test::InjectKey(1, true);
  EXPECT_EQ(EndStatusOf(Hibernate), 0);
}

TEST_F(Waiting, WaitForKeyDropsCharactersTypedBeforeAndWithTheOneThatEndsIt) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  InputManager& input = StartInput();
  platform::test::InjectText("xy");
  PumpMessages(Context(), nullptr);
  ActWhileWaiting([](int restart) {
    if (restart == 3) platform::test::InjectText("zw");
  });
  WaitForKey();
  EXPECT_EQ(gRestarts, 3);  // "xy" did not end the wait
  EXPECT_EQ(PopTypedChar(input.typedChars), 0);
}

// The pause callback shows one "paused" frame, and the window gets the focus back during it:
// the resume must stand once the callback returns.
TEST_F(Waiting, FocusBackWhileThePauseCallbackShowsAFrameLeavesTheProgramRunning) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  static const UserFunctionEntry kShowingPause[] = {
      {[] {
         ++gPauses;
         platform::test::InjectFocus(true);
         ShowScreen(1);
       },
       "QRN_ON_PAUSE"},
      {[] { ++gResumes; }, "QRN_ON_RESUME"},
      {nullptr, nullptr}};
  SetUserFunctionTable(kShowingPause);
  platform::test::InjectFocus(false);
  testing::internal::CaptureStdout();
  PumpMessages(Context(), nullptr);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ((std::array<int, 3>{int(PauseFlag), gPauses, gResumes}), (std::array<int, 3>{0, 1, 1}));
}

// A button held at the call must first be let go; then a press ends the wait once it is let go.
TEST_F(Waiting, WaitForMouseButtonWaitsForAReleaseAPressAndItsRelease) {
  StartInput();
  static std::atomic<bool> pressed;
  pressed = false;
  platform::test::InjectMouseButton(0, true);
  std::thread releaser([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    platform::test::InjectMouseButton(0, false);
    while (!pressed) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    platform::test::InjectMouseButton(0, false);
  });
  ActWhileWaiting([](int restart) {
    if (restart == 2) platform::test::InjectMouseButton(0, pressed = true);
  });
  WaitForMouseButton();
  releaser.join();
  EXPECT_GE(gRestarts, 2) << "the held button alone ended the wait";
  EXPECT_FALSE(AnyMouseButtonDown(*InputObject));
}

// No step presses a mouse button: a scripted run waiting for one is over.
TEST_F(Waiting, AScriptedRunWaitingForAMouseButtonEnds) {
  StartInput();
  TempDir folder;
  TempDir::WriteBytes(folder.Child("answers.txt"), "key q\n");
  ASSERT_TRUE(LoadInputScript(folder.Child("answers.txt")));
  ActWhileWaiting([](int restart) {  // cuts off a run the script would leave waiting
    if (restart == 5) throw ProgramEnded{-2};
  });
  testing::internal::CaptureStderr();
  const int status = EndStatusOf([] { WaitForMouseButton(); });
  const std::string errors = testing::internal::GetCapturedStderr();
  ResetInputScriptForTests();
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("line 1: the program waits for a mouse button"), std::string::npos);
}

TEST_F(Waiting, AReactivationRequestBringsTheWindowBackAtTheNextFrame) {
  platform::HideWindow(Context().window);
  ReactivateRequest = 1;
  testing::internal::CaptureStdout();
  ShowScreen(0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "activate\nok\n");
  EXPECT_TRUE(platform::WindowShown(Context().window) && ReactivateRequest == 0);
  platform::HideWindow(Context().window);
}
