// Runs code that may end the program and reports how it would have ended, in-process: a quit
// handler that throws takes the place of the real quit sequence.
#pragma once

#include "core/terminate.h"

struct ProgramEnded {
  int status;
};

[[noreturn]] inline void ThrowProgramEnded(int status) { throw ProgramEnded{status}; }

// The exit status the code ended the program with, or -1 when it returned normally. A failure
// the code marked ends with it.
template <class Code>
int EndStatusOf(Code&& code) {
  const QuitHandler previous = InstalledQuitHandler();
  InstallQuitHandler(ThrowProgramEnded);
  int status = -1;
  try {
    code();
  } catch (const ProgramEnded& ended) {
    status = ended.status;
  }
  ResetTerminationForTests();
  InstallQuitHandler(previous);
  return status;
}
