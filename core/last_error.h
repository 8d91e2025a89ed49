// The process-wide error code the program reads after a command, its texts, and the debugger
// line format ("TX" + text) every diagnostic of the runtime goes through.
#pragma once

#include <cstdint>

#include "core/str.h"

extern int32_t LastErrorCode;
extern int32_t LastErrorLine;

// Stores the code and the current source line word; a non-zero code also goes to the debugger
// as "error: <hex>\n". Returns the code and never ends the program.
int32_t SetLastErrorCode(int32_t code);
void ClearLastError();

// "%.4d %s" of the code and its text; the caller releases the result.
Str LastErrorText();

// Sends "TX" + text as one line when a debugger is attached.
void DebugOut(const Str& text);
void DebugOut(const char* text);
