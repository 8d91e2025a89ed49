// The end-of-process steps and the one exit handler that runs them.
#include "core/process_end.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace {

EndOfProcessWork gSteps[size_t(EndOfProcessStep::Count)] = {};

// Once exit is under way, ending here is the only way left to make lost bytes fail the run.
void EndOfProcess() {
  if (RunEndOfProcessSteps()) return;
  std::fflush(nullptr);
  std::_Exit(1);
}

// Before anything of the program's own is registered, so the handler runs after all of it: the
// program's exit handlers and destructors have run (and may have used the files) by the time a
// lost byte ends the process here.
__attribute__((constructor(101))) void RegisterEndOfProcess() {
  std::atexit(EndOfProcess);
}

}  // namespace

void InstallEndOfProcessStep(EndOfProcessStep step, EndOfProcessWork work) {
  gSteps[size_t(step)] = work;
}

bool RunEndOfProcessSteps() {
  bool written = true;
  for (EndOfProcessWork work : gSteps) {
    if (work) written = work() && written;
  }
  return written;
}
