#include "frame/shell_commands.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/terminate.h"
#include "frame/frame_services.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_shutdown.h"
#include "frame/screen_modes.h"
#include "platform/process_launch.h"
#include "platform/window.h"
#include "system/file_commands.h"

namespace {

constexpr uint32_t kCommandRoom = 1024;

// Started programs read what the program wrote so far.
platform::LaunchOutcome Launch(const std::vector<std::string>& argv, bool wait) {
  FlushFileChannels();
  return platform::CurrentProcessLauncher()(argv, wait);
}

void ReturnFocus() {
  if (platform::Window* window = platform::WindowFromId(GetMainWindow())) {
    platform::ShowAndRaise(window);
  }
}

}  // namespace

double ShellCommand(Str& command, double wait, double /*show*/, double* exitCode) {
  StrReserve(command, kCommandRoom, true);
  *exitCode = 0.0;
  if (GraphicsContext) ApplyWindowMode(*GraphicsContext);
  const bool waitForExit = wait != 0.0;
  platform::LaunchOutcome outcome =
      Launch(platform::SplitCommandLine(command.data), waitForExit);
  if (outcome.started) {
    StrSyncLength(command);
    if (waitForExit) *exitCode = static_cast<double>(outcome.exitCode);
  }
  ReturnFocus();
  return outcome.started ? 1.0 : 0.0;
}

void ShellCommandAndExit(const Str& command) {
  QuitRuntime();
  Str copy;
  StrCopyConstruct(copy, command);
  double exitCode = 0.0;
  ShellCommand(copy, 0.0, 1.0, &exitCode);
  StrRelease(copy);
  std::exit(0);
}

int32_t ShellOpenDocument(const Str& document) {
  const bool ending = GetEscapeEnds() != 0;
  if (ending) QuitRuntime();
  const int32_t result = Launch({"xdg-open", document.data}, false).started ? 1 : 0;
  if (ending) TerminateProgram();
  return result;
}
