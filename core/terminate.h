// The two ways the program ends. TerminateProgram is the normal end (END, Escape, closing the
// window) and exits 0 whatever the error code holds, or 1 once the run was marked failed;
// FatalTerminate is the end after misuse the runtime cannot continue from and exits 1. The
// application frame installs the real quit sequence; until then a default prints "exit" and
// ends the process.
#pragma once

#include <cstdint>

// Runs the quit sequence and ends the process with the given status. A test may install one that
// throws instead of ending.
using QuitHandler = void (*)(int exitStatus);
void InstallQuitHandler(QuitHandler handler);
QuitHandler InstalledQuitHandler();

// Returns at once when the quit sequence is already running (END inside the quit callback).
void TerminateProgram();

// A failure still to be shown to the user, who ends the run from there: however the program
// ends from now on (a key, Escape, a closed window, END), its exit status is 1.
void MarkRunFailed();

// While the quit sequence runs, ends the process at once with status 1, as a fatal error inside
// it does (the end-of-process steps run, the standard streams are flushed); returns otherwise. For an end that must not return into a quit routine that waits:
// a fatal error, the script runner's end, a quit request of the system.
void EndNowIfQuitting();

// Sets the error code and ends with status 1; re-entered while quitting it ends at once.
[[noreturn]] void FatalTerminate(int32_t code);

// True while the quit sequence runs.
bool TerminationInProgress();

void ResetTerminationForTests();
