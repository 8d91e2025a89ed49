// The program's commands that start other programs: a command line, with or without waiting for
// its exit code, the same as the program's last act, and a document handed to the desktop's
// opener. Commands are started directly, never through a shell (platform/process_launch.h).
#pragma once

#include <cstdint>

#include "core/str.h"

// 1.0 when the program started, 0.0 when it could not (an empty command, a missing program).
// exitCode is set to 0.0 first and receives the exit code only when wait is not 0 (NaN counts as
// not 0). The window leaves full screen first so the started program can be seen, and gets the
// focus back afterwards. The show flag has no meaning on this platform. The command keeps its
// text in a buffer of at least 1024 characters.
double ShellCommand(Str& command, double wait, double show, double* exitCode);

// Releases the runtime, starts the command without waiting and ends the process with status 0,
// whether it started or not.
[[noreturn]] void ShellCommandAndExit(const Str& command);

// Opens the document or address with xdg-open. While Escape ends the program (the initial
// setting) the runtime is released first and the program then ends; otherwise 1 when the
// opener started, 0 when not.
int32_t ShellOpenDocument(const Str& document);
