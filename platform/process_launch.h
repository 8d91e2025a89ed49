// Starting other programs: stands in for CreateProcessA and the shell's document opening. A
// command line is one text, split into arguments by the Windows command-line rules, and the
// program is started directly with posix_spawnp, never through a shell: a shell would "start" a
// missing program (status 127) and accept an empty command, where the runtime must report both
// as failed starts.
//
// What Linux cannot do: exit codes are 8 bits (exit(-1) arrives as 255), and a child ended by a
// signal reports 128 + the signal number. A window shown or hidden at start has no meaning here.
//
// Children started without waiting are reaped at every later launch, so none stays a zombie.
//
// Test seam: the launcher can be replaced, so tests can record what would be started.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Blanks separate; double quotes group; 2n backslashes before a quote give n backslashes and the
// quote toggles grouping; 2n + 1 give n backslashes and a literal quote; other backslashes are
// literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

struct LaunchOutcome {
  bool started = false;
  uint32_t exitCode = 0;  // only when the caller waited
};

// Starts argv[0] (searched along PATH when it holds no '/') with the caller's environment and
// folder, with default signal handling and an empty signal mask. With wait the call returns when
// the child has ended. An empty argv starts nothing.
using ProcessLauncher = LaunchOutcome (*)(const std::vector<std::string>& argv, bool wait);
LaunchOutcome LaunchProcess(const std::vector<std::string>& argv, bool wait);

// Starts argv as LaunchProcess does, waits for its end and collects what it wrote to its
// standard output. Not affected by the launcher seam below.
LaunchOutcome RunForOutput(const std::vector<std::string>& argv, std::string* output);

// Starts argv as LaunchProcess does, waits for its end and collects what it wrote to its
// standard output. Not affected by the launcher seam below.
LaunchOutcome RunForOutput(const std::vector<std::string>& argv, std::string* output);

// Children started without waiting that have not been reaped yet.
size_t UnreapedChildCount();

// Test seam: the launcher every caller goes through; null puts LaunchProcess back.
void SetProcessLauncher(ProcessLauncher launcher);
ProcessLauncher CurrentProcessLauncher();

}  // namespace platform
