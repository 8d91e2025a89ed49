#include "frame/input_script.h"

#include <gtest/gtest.h>

#include <string>

#include "frame/waits.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace {

std::string gSnapshot;
int RecordSnapshot(const char* path) {
  gSnapshot = path;
  return 1;
}

class InputScript : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    gSnapshot.clear();
    InstallSnapshotWriter(nullptr);
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

 private:
  TempDir folder_;
};

}  // namespace

TEST_F(InputScript, DrivesAProgramsWaitsToItsEnd) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  InstallSnapshotWriter(RecordSnapshot);
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
  EXPECT_EQ(gSnapshot, "title.png");
  EXPECT_EQ(PopTypedChar(InputObject->typedChars), 0);  // the rest of "yes" was dropped
}

TEST_F(InputScript, AProgramWaitingPastTheScriptsEndIsEnded) {
  FakeClockScope clock(kFakeStartMs, 0.0);
  StartInput();
  EscapeEndsFlag = 0;
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
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Load(c.text)) << c.text;
    EXPECT_FALSE(InputScriptActive());
    EXPECT_NE(ScriptError().find(c.error), std::string::npos) << ScriptError();
  }
  EXPECT_FALSE(LoadInputScript("/nonexistent/answers.txt"));
  EXPECT_NE(ScriptError().find("cannot read"), std::string::npos);
}

TEST_F(InputScript, WithoutAScriptWaitsAreLeftAlone) {
  FeedInputScript(ScriptedWait::Key);
  EXPECT_FALSE(InputScriptActive());
}
