// A whole program with a quit routine that waits, for the script runner's end. The first
// argument picks how: "quit-key-wait" and "quit-poll" wait for keys until the script ends the
// run, and then the quit routine waits for a key, or polls the keys while showing frames;
// "quit-sigterm" ENDs at once, and its quit routine raises SIGTERM and then waits for a key.
#include <signal.h>

#include <cstdio>
#include <string_view>

#include "core/console.h"
#include "core/process_globals.h"
#include "core/str.h"
#include "core/user_functions.h"
#include "frame/frame_cycle.h"
#include "frame/input_commands.h"
#include "frame/program_entry.h"
#include "frame/waits.h"
#include "gfx2d/gfx2d_layer.h"

namespace {

std::string_view mode = "quit-key-wait";

void ProjectSettings() {
  ConfiguredScreenWidth = 640;
  ConfiguredScreenHeight = 480;
  StrAssignCString(GetAppNameStr(), "quit routine test");
}

int32_t MainRoutine() {
  while (mode != "quit-sigterm") {
    WaitForKey();
    std::puts("key wait ended");
  }
  EndLoopAndExit();
  return 0;
}

void QuitRoutine() {
  std::puts("quit routine");
  if (mode == "quit-sigterm") raise(SIGTERM);
  while (mode == "quit-poll") {
    KeyDown(1);
    ShowScreen(1);
  }
  WaitForKey();
  std::puts("quit routine ended");
}

const UserFunctionEntry kQuitRoutine[] = {{QuitRoutine, "QRN_ON_QUIT"}, {nullptr, nullptr}};
const LayerInstaller kLayers[] = {InstallGfx2dLayer, nullptr};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) mode = argv[1];
  return RunProgram(argc, argv, {ProjectSettings, MainRoutine, kQuitRoutine, kLayers});
}
