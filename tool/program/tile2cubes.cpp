// The tile2cubes program: the runtime started with the tool's settings, main program and
// named routines.
#include "frame/program_entry.h"
#include "tool/project_settings.h"
#include "tool/tool_hooks.h"
#include "tool/tool_main.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, {ProjectSettings, ToolMain, ToolUserFunctions});
}
