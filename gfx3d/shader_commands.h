// The program's shader commands: loading a shader slot from two source files and making a slot
// current. Compiler and linker messages reach the debugger only while the runtime's debug flag
// is set.
#pragma once

#include <cstdint>

#include "core/str.h"

// Slots 0 .. 254; any other number returns to the fixed pipeline.
void UseShaderCmd(int32_t slot);
// 1 when the program linked; an empty name skips that stage.
int32_t LoadShaderCmd(int32_t slot, const Str& vertexFile, const Str& fragmentFile);
// The message sink of every shader operation the commands call.
void ShaderLogCallback(const char* text);
