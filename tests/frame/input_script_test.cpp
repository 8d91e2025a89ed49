#include "frame/input_script.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/str_value.h"
#include "frame/music_loop.h"
#include "frame/text_input.h"
#include "frame/waits.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace {

// Which frame each snapshot was taken on, counted by the test's loop.
int gFrame = 0;
std::vector<std::pair<std::string, int>> gSnapshotFrames;
int RecordSnapshotFrame(const char* path, SnapshotPicture) {
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
  EXPECT_EQ(status, 1) << "the run did not reach its end";
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
  EXPECT_EQ(status, 1);
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

namespace {

// Stands in for the end a broken runner would never bring: the program is cut off at a frame.
int gFramesLeft = 0;
void EndAfterFrames(Rainbows3D*, int32_t) {
  if (--gFramesLeft < 0) throw ProgramEnded{-2};
}

class ScriptedRunEnd : public InputScript {
 protected:
  void SetUp() override {
    InputScript::SetUp();
    CycleServices cut = CycleStandIns();
    cut.setShadowPass = EndAfterFrames;
    InstallCycleServices(cut);
    StartInput();
    EscapeEndsFlag = 0;
  }

  // The status the run ends with, the frames it showed and what it said on standard error.
  template <class Program>
  int Run(int frameLimit, Program&& program) {
    gFramesLeft = frameLimit;
    testing::internal::CaptureStderr();
    const int status = EndStatusOf(program);
    errors_ = testing::internal::GetCapturedStderr();
    framesShown_ = frameLimit - gFramesLeft;
    return status;
  }

  std::string errors_;
  int framesShown_ = 0;
};

}  // namespace

// A program that polls rather than waits gets each key held for one frame, and once the script
// is used up it is ended soon after, as one waiting for input would be.
TEST_F(ScriptedRunEnd, KeyStepsReachAProgramThatPollsTheKeys) {
  FakeClockScope clock(kFakeStartMs, 0.25);
  ASSERT_TRUE(Load("frames 2\nkey escape\nkey q\n"));
  std::vector<int> escapeOn;
  std::string typed;
  const int status = Run(200, [&] {
    for (gFrame = 1;; ++gFrame) {
      if (KeyDown(1)) escapeOn.push_back(gFrame);
      Str c = GetTypedChar();
      typed.append(c.data, c.length);
      StrRelease(c);
      ShowScreen(1);
    }
  });
  EXPECT_EQ(escapeOn, std::vector<int>{4});
  EXPECT_NE(typed.find('q'), std::string::npos) << typed;
  EXPECT_EQ(status, 1);
  EXPECT_EQ(framesShown_, 3 + kFramesWatchedPastTheEnd) << "the last step went over on frame 3";
  EXPECT_NE(errors_.find("used up: the program read the keys"), std::string::npos) << errors_;
}

TEST_F(ScriptedRunEnd, FramesWithoutTheStepDueOrPastTheEndAreBounded) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  for (const char* script : {"frames 3\n", "frames 3\ntext never\n"}) {
    ASSERT_TRUE(Load(script));
    const int status = Run(kFramesWithoutAStep + 10, [] {
      for (;;) EndAfterFrames(nullptr, 0), AdvanceInputScriptFrame();
    });
    EXPECT_EQ(status, 1) << script;
    EXPECT_EQ(framesShown_, 3 + kFramesWithoutAStep) << script;
  }
  EXPECT_NE(errors_.find("line 2: the program showed 3600 frames"), std::string::npos) << errors_;
}

// The line editor shows frames while it waits for text; a file that never comes ends the wait.
TEST_F(ScriptedRunEnd, AWaitForAFileThatNeverComesGivesUp) {
  FakeClockScope clock(kFakeStartMs, 50.0);
  ASSERT_TRUE(Load("wait-file " + folder_.Child("never.txt") + "\ntext late\n"));
  const int status = Run(5000, [] {
    Str answer;
    StrInitEmpty(answer);
    InputString(answer, 0, 0, 0);
  });
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors_.find("never.txt\" did not appear within 60 seconds"), std::string::npos)
      << errors_;
}

// A program still working on the file shows progress frames; one that polls the keys instead
// would never make it.
TEST_F(ScriptedRunEnd, AWaitForAFileOutlastsProgressFramesButNotAProgramThatPolls) {
  FakeClockScope clock(kFakeStartMs, 50.0);
  for (const bool polls : {false, true}) {
    SCOPED_TRACE(polls ? "polls" : "progress frames");
    const std::string file = folder_.Child(polls ? "never.txt" : "late.txt");
    ASSERT_TRUE(Load("wait-file " + file + "\nsnapshot made.png\n"));
    gSnapshotFrames.clear();
    const int status = Run(3000, [&] {
      for (gFrame = 1;; ++gFrame) {
        if (gFrame == 2000 && !polls) TempDir::WriteBytes(file, "x");
        if (polls) KeyDown(1);
        ShowScreen(1);
      }
    });
    EXPECT_EQ(status, polls ? 1 : -2);
    EXPECT_EQ(gSnapshotFrames.size(), polls ? 0u : 1u);
  }
  EXPECT_NE(errors_.find("never.txt\" did not appear within 60 seconds"), std::string::npos)
      << errors_;
}

// The runtime's own key wait reads the keys too, and is no program polling them: the key after
// it goes to the next wait, not to the frame shown between.
TEST_F(InputScript, AKeyWaitIsNoProgramPollingTheKeys) {
  FakeClockScope clock(kFakeStartMs, 0.25);
  StartInput();
  ASSERT_TRUE(Load("key a\nkey b\n"));
  const int status = EndStatusOf([] {
    WaitForKey();
    ShowScreen(1);
    WaitForKey();
  });
  EXPECT_EQ(status, -1) << "the second key went to the frame";
}

namespace {

// Stands in for the end a broken runner would never bring, in every waiting loop alike: the
// looping-music check of the waits and frames cuts the program off after a while.
int gRestartsLeft = 0;
double CutOffInTheEnd() {
  if (--gRestartsLeft < 0) throw ProgramEnded{-2};
  return 0.0;
}

// A program that waits again and again: for a key (0), polling (1) or for a line (2). What
// reached it: the key waits it passed, the keys held and characters typed, the lines read.
std::string gSeen;
void WaitAgainAndAgain(int wait) {
  for (;;) {
    if (wait == 0) {
      WaitForKey();
      gSeen += "key wait ended\n";
    } else if (wait == 2) {
      StrValue answer("ab");  // a program's string, released when the run is cut off
      InputString(answer.str(), 0, 0, 0);
      gSeen += "answer [" + std::string(answer.view()) + "]\n";
    } else {
      for (int key : {1, 14, 15, 28, 57}) {
        if (KeyDown(key)) gSeen += "down " + std::to_string(key) + "\n";
      }
      const StrValue typed = StrValue::Adopt(GetTypedChar());
      if (!typed.empty()) gSeen += "typed " + std::to_string(uint8_t(typed.c_str()[0])) + "\n";
      ShowScreen(1);
    }
  }
}

}  // namespace

// Every key a step can name, at every kind of wait: a key wait ends, a polling program sees the
// character typed and the key held, the line editor edits with it. Escape ends the program
// while Escape-ends is on; with it off, a key wait goes on to the next step.
TEST_F(InputScript, EveryNamedKeyWorksAtEveryKindOfWait) {
  FakeClockScope clock(kFakeStartMs, 1.0);
  CycleServices cut = CycleStandIns();
  cut.restartLoopingMusic = CutOffInTheEnd;
  InstallCycleServices(cut);
  InputManager& input = StartInput();
  struct Case {
    const char* key;
    int32_t escapeEnds;
    const char* seen[3];  // at a key wait, polling, at the line editor
  } cases[] = {
      {"a", 1, {"key wait ended\n", "typed 97\n", "answer [aba]\n"}},
      {"enter", 1, {"key wait ended\n", "typed 10\ndown 28\n", "answer [ab]\nanswer [ab]\n"}},
      {"space", 1, {"key wait ended\n", "typed 32\ndown 57\n", "answer [ab ]\n"}},
      {"tab", 1, {"key wait ended\n", "typed 9\ndown 15\n", "answer [ab\t]\n"}},
      {"backspace", 1, {"key wait ended\n", "typed 8\ndown 14\n", "answer [a]\n"}},
      {"escape", 1, {"", "", ""}},
      {"escape", 0, {"", "down 1\n", "answer [ab]\n"}},
  };
  for (const Case& c : cases) {
    for (int wait = 0; wait < 3; ++wait) {
      SCOPED_TRACE(std::string(c.key) + " at wait " + std::to_string(wait));
      ASSERT_TRUE(Load(std::string("key ") + c.key + (wait == 2 ? "\ntext\n" : "\n")));
      EscapeEndsFlag = c.escapeEnds;
      gSeen.clear();
      gRestartsLeft = 20;
      MusicLoopTime = 1.0;
      testing::internal::CaptureStderr();
      const int status = EndStatusOf([wait] { WaitAgainAndAgain(wait); });
      testing::internal::GetCapturedStderr();
      EXPECT_EQ(status, c.escapeEnds && std::string(c.key) == "escape" ? 0 : 1);
      EXPECT_EQ(gSeen, c.seen[wait]);
      platform::test::ResetInput();
      KeyboardRead(input);
      while (PopTypedChar(input.typedChars)) {
      }
    }
  }
  MusicLoopTime = 0.0;
}
