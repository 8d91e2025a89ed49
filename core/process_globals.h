// Process-wide words of the runtime that several subsystems write: the compiled program's
// source position, reported at the end of a run.
#pragma once

#include <cstdint>

extern int32_t SourcePositionWord;
extern int32_t SourceLineWord;  // copied into LastErrorLine by SetLastErrorCode

// Puts every core static back to its start value (tests only).
void ResetCoreStateForTests();
