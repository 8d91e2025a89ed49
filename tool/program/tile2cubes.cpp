// The tile2cubes program: the runtime started with the tool's settings, main program, named
// routines, layers and build texts.
#include "frame/program_entry.h"
#include "tool/tool_program.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, ToolProgramHooks());
}
