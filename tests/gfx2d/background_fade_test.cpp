// The cross-fade's sequence of 2D calls, recorded: the blend values frame by frame under a clock
// that moves 100 ms per shown frame, the one-frame fade, and the missing file.
#include "gfx2d/background_fade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "platform/clock.h"
#include "tests/support/fake_clock.h"
#include "tests/support/owned_str.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> gCalls;
std::vector<double> gBlends;
double gClockStepPerShow = 0.0;

void Record(const std::string& call) { gCalls.push_back(call); }

BackgroundFadeServices Recorder() {
  return {
      [](int32_t slot) { Record("grab " + std::to_string(slot)); },
      [](int32_t slot, const char*) { Record("load " + std::to_string(slot)); },
      [](int32_t slot) { Record("free " + std::to_string(slot)); },
      [](int32_t slot) { Record("draw " + std::to_string(slot)); },
      [](double a) {
        gBlends.push_back(a);
        Record("blend");
      },
      [](int32_t colour) { Record("clear colour " + std::to_string(colour)); },
      [](int32_t show) {
        Record("show " + std::to_string(show));
        platform::AdvanceFakeClock(gClockStepPerShow);
      },
  };
}

struct RecordedFade {
  TempDir tmp;
  FakeClockScope clock;
  std::string picture = tmp.Child("picture.png");
  RecordedFade() {
    gCalls.clear();
    gBlends.clear();
    TempDir::WriteBytes(picture, "an image");
    InstallBackgroundFadeServices(Recorder());
  }
  ~RecordedFade() { InstallBackgroundFadeServices(DefaultBackgroundFadeServices()); }
  void Run(const std::string& name, int32_t durationMs) {
    OwnedStr text(name);
    LoadBackgroundWithFade(text.s, durationMs);
  }
};

const std::vector<std::string> kStart = {"grab 2", "load 1", "free 0", "clear colour 0"};
const std::vector<std::string> kFadeFrame = {"blend", "draw 2", "blend", "draw 1", "show 1"};
const std::vector<std::string> kFinish = {"blend",  "draw 1", "grab 0",
                                          "free 1", "free 2", "show 1"};

std::vector<std::string> Expected(int fadeFrames) {
  std::vector<std::string> calls = kStart;
  for (int i = 0; i < fadeFrames; ++i) calls.insert(calls.end(), kFadeFrame.begin(), kFadeFrame.end());
  calls.insert(calls.end(), kFinish.begin(), kFinish.end());
  return calls;
}

}  // namespace

TEST(BackgroundFade, BlendsOldAndNewOneFrameAtATime) {
  RecordedFade fade;
  gClockStepPerShow = 100.0;
  SetLastErrorCode(5);
  fade.Run(fade.picture, 1000);
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(gCalls, Expected(10));

  const double shares[] = {0.9, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1};
  ASSERT_EQ(gBlends.size(), 2 * std::size(shares) + 1);
  for (size_t i = 0; i < std::size(shares); ++i) {
    EXPECT_NEAR(gBlends[2 * i], shares[i], 1e-9) << "frame " << i;
    EXPECT_NEAR(gBlends[2 * i + 1], 1.0 - shares[i], 1e-9) << "frame " << i;
  }
  EXPECT_EQ(gBlends.back(), 0.0);
}

TEST(BackgroundFade, ANonPositiveDurationShowsOneFrame) {
  for (int32_t duration : {0, -250}) {
    RecordedFade fade;
    gClockStepPerShow = 0.0;
    fade.Run(fade.picture, duration);
    EXPECT_EQ(gCalls, Expected(1)) << duration;
    ASSERT_GE(gBlends.size(), 2u);
    EXPECT_NEAR(gBlends[0], 0.9, 1e-9);
  }
}

TEST(BackgroundFade, AMissingFileDropsTheBackgroundWithoutDrawing) {
  RecordedFade fade;
  fade.Run(fade.tmp.Child("no-such-picture.png"), 1000);
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"free 0", "clear colour 0"}));
}
