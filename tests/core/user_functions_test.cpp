// Calls by name, the loop mode with its switches and END, and the pause callbacks.
#include "core/user_functions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "tests/support/debug_capture.h"
#include "tests/support/program_end.h"

namespace {

std::vector<std::string> gCalls;

void Record(const char* name) {
  gCalls.emplace_back(name);
  if (std::string(name) == "QRN_ON_PAUSE" || std::string(name) == "QRN_ON_RESUME") {
    gCalls.back() += PauseFlag ? "(paused)" : "(running)";
  }
}

Str Text(const char* text) {
  Str s;
  StrFromCString(s, text);
  return s;
}

void LoopSwitchingToB() {
  Record("A");
  if (gCalls.size() == 3) {
    Str b = Text("B");
    RunLoopFunction(b);
    StrRelease(b);
    Record("A after switch");
  }
}

void LoopB() {
  Record("B");
  if (gCalls.size() == 6) EndLoopAndExit();
}

void LoopEndingItself() {
  Record("E");
  if (gCalls.size() == 2) {
    Str empty = Text("");
    RunLoopFunction(empty);
  }
}

const UserFunctionEntry kTable[] = {
    {[] { Record("ShowFPS"); }, "ShowFPS"},
    {[] { Record("ShowFPS second row"); }, "ShowFPS"},
    {LoopSwitchingToB, "A"},
    {LoopB, "B"},
    {LoopEndingItself, "E"},
    {[] { Record("QRN_ON_PAUSE"); }, "QRN_ON_PAUSE"},
    {[] { Record("QRN_ON_RESUME"); }, "QRN_ON_RESUME"},
    {nullptr, "never reached"},
};

class UserFunctions : public testing::Test {
 protected:
  void SetUp() override {
    ResetCoreStateForTests();
    SetUserFunctionTable(kTable);
    gCalls.clear();
  }
  void TearDown() override { ResetCoreStateForTests(); }
  DebugCapture capture;
};

TEST_F(UserFunctions, LookupIsExactAndTheFirstRowWins) {
  struct Case {
    const char* name;
    bool found;
  };
  for (const Case& c : {Case{"ShowFPS", true}, Case{"showfps", false}, Case{"ShowFPS ", false},
                        Case{"ShowFP", false}, Case{"", false}, Case{"never reached", false}}) {
    Str name = Text(c.name);
    EXPECT_EQ(FindUserFunction(name) != nullptr, c.found) << c.name;
    StrRelease(name);
  }
  EXPECT_EQ(CallByName("ShowFPS"), 1);
  EXPECT_EQ(gCalls, std::vector<std::string>{"ShowFPS"});
}

TEST_F(UserFunctions, MissingRoutinesAreReportedUnlessTheRuntimeMayLookForThem) {
  EXPECT_EQ(CallByName("NoSuchRoutine"), 0);
  EXPECT_EQ(CallByName("QRN_ON_QUIT"), 0);
  EXPECT_EQ(CallByName("QRN_WIN32_MSG"), 0);
  EXPECT_EQ(CallByName("QRN_ON_PAUSE "), 0);
  EXPECT_EQ(capture.lines,
            (std::vector<std::string>{"TXCALLBYNAME \"NoSuchRoutine\" *** failed ***\n",
                                      "TXCALLBYNAME \"QRN_ON_PAUSE \" *** failed ***\n"}));
  SetUserFunctionTable(nullptr);
  EXPECT_EQ(CallByName("ShowFPS"), 0);
}

TEST_F(UserFunctions, ALoopSwitchesWhenItsRoutineReturnsAndEndFinishesTheProgram) {
  Str a = Text("A");
  const int status = EndStatusOf([&] { RunLoopFunction(a); });
  StrRelease(a);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"A", "A", "A", "A after switch", "B", "B"}));
  EXPECT_EQ(CurrentLoopName.length, 0u);
}

TEST_F(UserFunctions, AnUnknownLoopNameDoesNotBlockTheNextLoop) {
  Str unknown = Text("Missing"), e = Text("E");
  RunLoopFunction(unknown);
  EXPECT_EQ(CurrentLoopName.length, 0u);
  RunLoopFunction(e);  // E ends the loop mode with the empty name on its second round
  EXPECT_EQ(gCalls, (std::vector<std::string>{"E", "E"}));
  EXPECT_EQ(CurrentLoopName.length, 0u);
  StrRelease(unknown);
  StrRelease(e);
}

TEST_F(UserFunctions, PauseCallbacksRunOncePerChangeAndSeeTheNewState) {
  SetPauseState(1);
  SetPauseState(1);
  EXPECT_EQ(PauseFlag, 1u);
  SetPauseState(0);
  SetPauseState(0);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"QRN_ON_PAUSE(paused)", "QRN_ON_RESUME(running)"}));

  gCalls.clear();
  SetPauseState(1);
  SetAutoPause(0);  // switching off resumes
  SetPauseState(1);  // without automatic pausing a pause request is a resume request
  EXPECT_EQ(PauseFlag, 0u);
  EXPECT_EQ(AutoPauseFlag, 0u);
  SetAutoPause(5);
  EXPECT_EQ(AutoPauseFlag, 1u);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"QRN_ON_PAUSE(paused)", "QRN_ON_RESUME(running)"}));

  gCalls.clear();
  SetPauseState(3);
  AutoPauseFlag = 0;
  SetPauseState(1);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"QRN_ON_PAUSE(paused)", "QRN_ON_RESUME(running)"}));
}

}  // namespace
