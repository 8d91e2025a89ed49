// Lookup and calls by name, the loop mode, and pause and resume callbacks.
#include "core/user_functions.h"

#include <cstring>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/terminate.h"

Str CurrentLoopName = {StrEmptyBuffer, 0, 0};
Str PendingLoopName = {StrEmptyBuffer, 0, 0};
const UserFunctionEntry* UserFunctionTable = nullptr;

namespace {

// Callbacks the runtime looks for on its own; a program need not define them.
bool MayBeUndefined(const Str& name) {
  return StrEqualsCString(name, "QRN_ON_QUIT") || StrEqualsCString(name, "QRN_WIN32_MSG");
}

void ReportMissing(const Str& name) {
  Str line;
  StrFromCString(line, "CALLBYNAME \"");
  StrAppendCString(line, name.data);
  StrAppendCString(line, "\" *** failed ***\n");
  DebugOut(line);
  StrRelease(line);
}

// Sets the flag before the callback so that it sees the new state, and only then: a callback
// that shows a frame may meet the opposite focus change, whose state must stand afterwards.
void ChangePause(uint32_t paused, const char* callback) {
  PauseFlag = paused;
  CallByName(callback);
}

// Repeats the current routine, then whichever one was recorded as pending, until no name is left.
// A name without a routine ends the loop mode and leaves no current name, so a later loop starts.
void RepeatCurrentLoop() {
  while (CurrentLoopName.length != 0) {
    const UserFunction routine = FindUserFunction(CurrentLoopName);
    if (!routine) {
      StrRelease(CurrentLoopName);
      return;
    }
    do {
      routine();
    } while (CurrentLoopName.length != 0);
    StrAssign(CurrentLoopName, PendingLoopName);
  }
}

}  // namespace

void SetUserFunctionTable(const UserFunctionEntry* table) { UserFunctionTable = table; }

UserFunction FindUserFunction(const Str& name) {
  if (!UserFunctionTable) return nullptr;
  for (const UserFunctionEntry* row = UserFunctionTable; row->fn; ++row) {
    if (RawTextLength(row->name) == name.length &&
        (name.length == 0 || std::memcmp(row->name, name.data, name.length) == 0)) {
      return row->fn;
    }
  }
  return nullptr;
}

int32_t CallByName(const Str& name) {
  const UserFunction routine = FindUserFunction(name);
  if (routine) {
    routine();
    return 1;
  }
  if (!MayBeUndefined(name)) ReportMissing(name);
  return 0;
}

int32_t CallByName(const char* name) {
  Str text;
  StrFromCString(text, name);
  const int32_t called = CallByName(text);
  StrRelease(text);
  return called;
}

void RunLoopFunction(const Str& name) {
  // The name may be one of the two loop names, which change below.
  Str wanted;
  StrCopyConstruct(wanted, name);
  if (CurrentLoopName.length != 0) {
    StrAssign(PendingLoopName, wanted);
    StrRelease(CurrentLoopName);
    StrRelease(wanted);
    return;
  }
  StrRelease(PendingLoopName);
  StrAssign(CurrentLoopName, wanted);
  StrRelease(wanted);
  RepeatCurrentLoop();
}

void EndLoopAndExit() {
  Str empty;
  StrInitEmpty(empty);
  RunLoopFunction(empty);
  SetLastErrorCode(0);
  TerminateProgram();
}

void SetPauseState(int32_t request) {
  const bool pause = AutoPauseFlag != 0 && request != 0;
  if (pause) {
    if (PauseFlag == 1) return;
    ChangePause(1, "QRN_ON_PAUSE");
  } else if (PauseFlag != 0) {
    ChangePause(0, "QRN_ON_RESUME");
  }
}

void SetAutoPause(int32_t on) {
  AutoPauseFlag = on != 0;
  if (!AutoPauseFlag && PauseFlag) ChangePause(0, "QRN_ON_RESUME");
}

void ResetUserFunctionsForTests() {
  UserFunctionTable = nullptr;
  StrRelease(CurrentLoopName);
  StrRelease(PendingLoopName);
}
