// Lets core code append lines to the debug log, which the system layer above the core owns: the
// runtime's start-up installs that layer's writer here. Until one is installed the lines are
// dropped.
#pragma once

// Receives a NUL-terminated text, or null.
using ErrorLogHook = void (*)(const char* text);

void SetErrorLogHook(ErrorLogHook hook);

// Passes the text to the installed writer, if any.
void WriteErrorLogHook(const char* text);
