// The entry sequence: command line, settings, start-up, main routine, loop routine, the end.
#include "frame/program_entry.h"

#include <cstdio>
#include <cstdlib>

#include "core/console.h"
#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "core/terminate.h"
#include "frame/gfx2d_services.h"
#include "frame/input_script.h"
#include "frame/runtime_startup.h"

namespace {

constexpr int32_t kShowWindow = 1;

void InstallLayers(const ProgramHooks& program) {
  for (const LayerInstaller* layer = program.layers; layer && *layer; ++layer) (*layer)();
  InstallProjectTexts(program.projectTexts);
}

// Before anything starts: a list without the 2D layer would crash at the first frame, or leave a
// window on which nothing the program asks for is drawn.
void RefuseListWithout2d() {
  if (Gfx2dLayerInstalled()) return;
  std::fputs("The program cannot start: its layers must include InstallGfx2dLayer, which the "
             "frame and the 3D layer draw through\n",
             stderr);
  std::exit(1);
}

void StartRuntime(const ProgramHooks& program) {
  // Before start-up changes the folder, so a script named relative to the caller is found; a run
  // that was meant to be scripted must not wait for a person instead.
  if (!LoadInputScriptFromEnvironment()) std::exit(1);
  InstallLayers(program);
  RefuseListWithout2d();
  SetUserFunctionTable(program.userFunctions);
  program.projectSettings();
  RuntimeStartup(nullptr, kShowWindow, GetAppNameStr().data);
  LastErrorCode = 0;
  LastErrorLine = 0;
  SourceLineWord = 0;
}

}  // namespace

std::string JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i] ? argv[i] : "";
    if (i > 0) line += ' ';
    const bool quoted = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    line += quoted ? '"' + argument + '"' : argument;
  }
  return line;
}

int32_t RunProgram(int argc, char** argv, const ProgramHooks& program) {
  SetCommandLineStr(JoinCommandLine(argc, argv).c_str());
  StartRuntime(program);
  const int32_t result = program.mainRoutine();
  const StrValue loopName("QRN_ON_LOOP");
  if (FindUserFunction(loopName)) RunLoopFunction(loopName);
  TerminateProgram();
  return result;
}

int32_t RuntimeInitNoMain(const ProgramHooks& program) {
  StartRuntime(program);
  return 1;
}
