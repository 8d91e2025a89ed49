#include "frame/input_script.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frame/waits.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace {

// Which frame each snapshot was taken on, counted by the test's loop.
int gFrame = 0;
std::vector<std::pair<std::string, int>> gSnapshotFrames;
int RecordSnapshotFrame(const char* path) {
  gSnapshotFrames.emplace_back(path, gFrame);
  return 1;
}

class InputScript : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    gSnapshotFrames.clear();
    InstallSnapshotWriter(RecordSnapshotFrame);
  }
  void TearDown() override {
    InstallSnapshotWriter(nullptr);
    ResetInputScriptForTests();
    FrameCycleFixture::TearDown();
  }

  bool Load(const std::string& text) {
    const std::string file = folder_.Child("answers.txt");
    TempDir::WriteBytes(file, text);
    return LoadInputScript(file);
  }

  TempDir folder_;
};

}  // namespace

TEST_F(InputScript, DrivesAProgramsWaitsToItsEnd) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  ASSERT_TRUE(Load("# a session\nsnapshot title.png\ntext yes\n\nkey a\r\nkey escape\n"));
  int waitsPassed = 0;
  const int status = EndStatusOf([&] {
    for (;;) {
      WaitForKey();
      ++waitsPassed;
    }
  });
  EXPECT_EQ(status, 0);  // Escape ended it inside the third wait
  EXPECT_EQ(waitsPassed, 2);
  ASSERT_EQ(gSnapshotFrames.size(), 1u);
  EXPECT_EQ(gSnapshotFrames[0].first, "title.png");
  EXPECT_EQ(PopTypedChar(InputObject->typedChars), 0);  // the rest of "yes" was dropped
}

TEST_F(InputScript, AProgramWaitingPastTheScriptsEndIsEnded) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  EscapeEndsFlag = 0;
  InstallSnapshotWriter(nullptr);
  ASSERT_TRUE(Load("snapshot refused.png\nkey enter\n"));
  int waitsPassed = 0;
  testing::internal::CaptureStderr();
  const int status = EndStatusOf([&] {
    for (;;) {
      WaitForKey();
      ++waitsPassed;
    }
  });
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(waitsPassed, 1);
  EXPECT_NE(errors.find("line 1: snapshot refused"), std::string::npos) << errors;
  EXPECT_NE(errors.find("input script used up"), std::string::npos) << errors;
}

TEST_F(InputScript, BadScriptsAreRefusedWithTheLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"text a\njump 3\n", "line 2: not a step: jump 3"},
      {"key ab\n", "line 1: not a step: key ab"},
      {"key\n", "line 1: not a step: key"},
      {"snapshot\n", "line 1: not a step: snapshot"},
      {"frames 0\n", "line 1: not a step: frames 0"},
      {"frames -3\n", "line 1: not a step: frames -3"},
      {"frames many\n", "line 1: not a step: frames many"},
      {"key 1 sideways\n", "line 1: not a step: key 1 sideways"},
      {"key 256 down\n", "line 1: not a step: key 256 down"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(Load(c.text));
    EXPECT_FALSE(InputScriptActive());
    EXPECT_NE(ScriptError().find(c.error), std::string::npos) << ScriptError();
  }
  EXPECT_FALSE(LoadInputScript("/nonexistent/answers.txt"));
  EXPECT_NE(ScriptError().find("cannot read"), std::string::npos);
}

// A viewer asks for no input: counted frames, a file it writes, snapshots and held keys pace it.
TEST_F(InputScript, FramesStepsPaceAProgramThatShowsFrames) {
  FakeClockScope clock(kFakeStartMs, 0.25);
  StartInput();
  EscapeEndsFlag = 0;
  const std::string ready = folder_.Child("ready.txt");
  ASSERT_TRUE(Load("wait-file " + ready + "\nframes 3\nsnapshot a\nframes 2\nsnapshot b\n" +
                   "key 12 down\nframes 4\nkey 12 up\n"));
  std::vector<int> heldOn;
  for (gFrame = 1; gFrame <= 20; ++gFrame) {
    if (gFrame == 4) TempDir::WriteBytes(ready, "x");
    ShowScreen(1);
    if (KeyDown(12)) heldOn.push_back(gFrame);
  }
  // The file appears before frame 4, the first of the three counted; the key goes down on the
  // frame of the second snapshot and up on the fourth frame after it.
  const std::vector<std::pair<std::string, int>> expected{{"a", 6}, {"b", 8}};
  EXPECT_EQ(gSnapshotFrames, expected);
  EXPECT_EQ(heldOn, (std::vector<int>{9, 10, 11, 12}));
}

TEST_F(InputScript, AKeyWaitWhileTheScriptCountsFramesEndsTheProgram) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  ASSERT_TRUE(Load("frames 5\ntext never\n"));
  testing::internal::CaptureStderr();
  const int status = EndStatusOf([] { WaitForKey(); });
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_NE(errors.find("line 1: the program waits for a key"), std::string::npos) << errors;
}

TEST_F(InputScript, AnAnswerFollowsOnceTheFileItWaitsForExists) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  const std::string there = folder_.Child("there.txt");
  TempDir::WriteBytes(there, "x");
  ASSERT_TRUE(Load("wait-file " + there + "\nkey q\n"));
  const int status = EndStatusOf([] { WaitForKey(); });
  EXPECT_EQ(status, -1) << "the key reached the wait";
}
