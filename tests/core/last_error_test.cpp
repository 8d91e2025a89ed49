// Error code, error texts, debugger lines and the two ends of the program.
#include "core/last_error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/process_globals.h"
#include "core/terminate.h"
#include "tests/support/debug_capture.h"
#include "tests/support/owned_str.h"

namespace {

class LastError : public testing::Test {
 protected:
  void SetUp() override { ResetCoreStateForTests(); }
  void TearDown() override { ResetCoreStateForTests(); }
  DebugCapture capture;
};

std::string Taken(Str s) { return OwnedStr(s).text(); }

TEST_F(LastError, NonZeroCodesGoToTheDebugger) {
  EXPECT_EQ(SetLastErrorCode(255), 255);
  EXPECT_EQ(SetLastErrorCode(-1), -1);
  EXPECT_EQ(capture.lines, (std::vector<std::string>{"TXerror: ff\n", "TXerror: ffffffff\n"}));
}

TEST_F(LastError, ZeroIsSilentButRecordsTheLineAndClearKeepsIt) {
  SourceLineWord = 42;
  SetLastErrorCode(0);
  EXPECT_EQ(LastErrorLine, 42);
  EXPECT_TRUE(capture.lines.empty());
  SourceLineWord = 7;
  SetLastErrorCode(9);
  SourceLineWord = 8;
  ClearLastError();
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(LastErrorLine, 7);
}

TEST_F(LastError, TextsUseFourDigitCodes) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {{0, "0000 success"},       {3, "0003 no such file"},
               {7, "0007 out of memory"}, {8, "0008 unknown error"},
               {9, "0009 out of bounds"}, {20, "0020 out of data"},
               {-1, "-0001 unknown error"}, {123456, "123456 unknown error"}};
  for (const Case& c : cases) {
    LastErrorCode = c.code;
    EXPECT_EQ(Taken(LastErrorText()), c.text);
  }
}

TEST_F(LastError, EmptyDebugLineIsJustThePrefix) {
  Str empty;
  StrInitEmpty(empty);
  DebugOut(empty);
  EXPECT_EQ(capture.lines, std::vector<std::string>{"TX"});
}

TEST(DebuggerDetection, NothingIsSentWithoutATracerOrTarget) {
  // A child with no sink and no variable: the tracer check alone decides, and tests run untraced.
  EXPECT_EXIT(
      {
        unsetenv("QRN_DEBUG_OUTPUT");
        SetLastErrorCode(9);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "^$");
  EXPECT_EXIT(
      {
        setenv("QRN_DEBUG_OUTPUT", "stderr", 1);
        SetLastErrorCode(9);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "TXerror: 9");
}

[[noreturn]] void ThrowingQuit(int status) { throw std::runtime_error(std::to_string(status)); }

TEST_F(LastError, NormalEndExitsZeroWhateverTheCode) {
  EXPECT_EXIT(
      {
        SetLastErrorCode(7);
        TerminateProgram();
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(LastError, FatalEndSetsTheCodeAndExitsOne) {
  EXPECT_EXIT(FatalTerminate(9), testing::ExitedWithCode(1), "");
  InstallQuitHandler(ThrowingQuit);
  try {
    FatalTerminate(20);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "1");
  }
  EXPECT_EQ(LastErrorCode, 20);
  EXPECT_FALSE(TerminationInProgress());
}

}  // namespace
