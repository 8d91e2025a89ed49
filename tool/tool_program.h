// The tool as a program on the runtime: what its main() hands to RunProgram.
#pragma once

#include "frame/program_entry.h"

// The tool's settings, main program and named routines, the layers it runs on (2D, 3D and the
// network, whose record every start-up makes) and its build texts.
ProgramHooks ToolProgramHooks();
