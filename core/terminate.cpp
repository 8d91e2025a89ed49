// The terminate entries and the default quit handler of core-only programs.
#include "core/terminate.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "core/last_error.h"
#include "core/process_end.h"

namespace {

void DefaultQuit(int exitStatus) {
  std::puts("exit");
  std::fflush(stdout);
  std::exit(exitStatus);
}

QuitHandler gQuitHandler = DefaultQuit;
bool gTerminating = false;
bool gRunFailed = false;

// A test's throwing handler unwinds through here; the next end must run again.
struct TerminatingScope {
  TerminatingScope() { gTerminating = true; }
  ~TerminatingScope() {
    if (std::uncaught_exceptions() > 0) gTerminating = false;
  }
};

// Past the exit handlers, but not past what the runtime still owes the disk.
[[noreturn]] void EndAtOnce(int exitStatus) {
  if (!RunEndOfProcessSteps()) exitStatus = 1;
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(exitStatus);
}

[[noreturn]] void RunQuit(int exitStatus) {
  TerminatingScope scope;
  gQuitHandler(exitStatus);
  EndAtOnce(exitStatus);
}

}  // namespace

void InstallQuitHandler(QuitHandler handler) { gQuitHandler = handler ? handler : DefaultQuit; }

QuitHandler InstalledQuitHandler() { return gQuitHandler; }

void TerminateProgram() {
  if (gTerminating) return;
  RunQuit(gRunFailed ? 1 : 0);
}

void MarkRunFailed() {
  gRunFailed = true;
}

void EndNowIfQuitting() {
  if (gTerminating) EndAtOnce(1);
}

void FatalTerminate(int32_t code) {
  SetLastErrorCode(code);
  // A fatal error inside the quit sequence itself: never return into the faulting access.
  EndNowIfQuitting();
  RunQuit(1);
}

bool TerminationInProgress() { return gTerminating; }

void ResetTerminationForTests() {
  gQuitHandler = DefaultQuit;
  gTerminating = false;
  gRunFailed = false;
}
