// Starting programs: exit codes, failed starts and the document opener.
#include "frame/shell_commands.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "platform/process_launch.h"
#include "tests/support/owned_str.h"

namespace {

double RunCommand(const char* command, double wait, double* exitCode) {
  OwnedStr text(command);
  return ShellCommand(text.s, wait, 1.0, exitCode);
}

std::vector<std::vector<std::string>> gLaunched;

platform::LaunchOutcome RecordLaunch(const std::vector<std::string>& argv, bool wait) {
  gLaunched.push_back(argv);
  platform::LaunchOutcome outcome;
  outcome.started = true;
  outcome.exitCode = wait ? 5 : 0;
  return outcome;
}

struct RecordingLauncher {
  RecordingLauncher() {
    gLaunched.clear();
    platform::SetProcessLauncher(RecordLaunch);
  }
  ~RecordingLauncher() { platform::SetProcessLauncher(nullptr); }
};

}  // namespace

TEST(ShellCommand, StartsWaitsAndReportsTheExitCode) {
  double exitCode = -1.0;
  EXPECT_EQ(RunCommand(R"(sh -c "exit 3")", 1.0, &exitCode), 1.0);
  EXPECT_EQ(exitCode, 3.0);
  EXPECT_EQ(RunCommand(R"(sh -c "exit 255")", std::numeric_limits<double>::quiet_NaN(), &exitCode), 1.0);
  EXPECT_EQ(exitCode, 255.0);

  exitCode = -1.0;
  EXPECT_EQ(RunCommand("sleep 1", 0.0, &exitCode), 1.0);  // returns at once
  EXPECT_EQ(exitCode, 0.0);
}

TEST(ShellCommand, AFailedStartAnswersZero) {
  for (const char* command : {"", "   ", "qrn-no-such-program-here --flag", R"("")"}) {
    double exitCode = -1.0;
    EXPECT_EQ(RunCommand(command, 1.0, &exitCode), 0.0) << command;
    EXPECT_EQ(exitCode, 0.0) << command;
  }
}

TEST(ShellCommand, KeepsTheCommandInARoomyBuffer) {
  OwnedStr command("true");
  double exitCode = 0.0;
  ShellCommand(command.s, 1.0, 0.0, &exitCode);
  EXPECT_GE(command.s.capacity, 1024u);
  EXPECT_STREQ(command.s.data, "true");
}

TEST(ShellCommand, HandsTheSplitArgumentsToTheLauncher) {
  RecordingLauncher launcher;
  double exitCode = 0.0;
  EXPECT_EQ(RunCommand(R"(prog "a b" c\"d)", 1.0, &exitCode), 1.0);
  EXPECT_EQ(exitCode, 5.0);
  ASSERT_EQ(gLaunched.size(), 1u);
  EXPECT_EQ(gLaunched[0], (std::vector<std::string>{"prog", "a b", "c\"d"}));
}

TEST(ShellOpenDocument, WithoutEscapeEndingAnswersTheOpenersStart) {
  RecordingLauncher launcher;
  EscapeEndsFlag = 0;
  OwnedStr document("/some/folder/read me.txt");
  EXPECT_EQ(ShellOpenDocument(document.s), 1);
  EscapeEndsFlag = 1;
  ASSERT_EQ(gLaunched.size(), 1u);
  EXPECT_EQ(gLaunched[0], (std::vector<std::string>{"xdg-open", "/some/folder/read me.txt"}));
}

TEST(ShellOpenDocumentDeathTest, WithEscapeEndingEndsTheProgramNormally) {
  EXPECT_EXIT(
      {
        RecordingLauncher launcher;
        EscapeEndsFlag = 1;
        SetLastErrorCode(7);
        OwnedStr document("https://example.invalid/");
        ShellOpenDocument(document.s);
        std::exit(3);  // the command returned
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ShellCommandAndExitDeathTest, EndsWithStatusZeroEvenWhenTheStartFails) {
  EXPECT_EXIT(
      {
        OwnedStr command("qrn-no-such-program-here");
        ShellCommandAndExit(command.s);
      },
      ::testing::ExitedWithCode(0), "");
}
