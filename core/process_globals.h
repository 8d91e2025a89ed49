// Process-wide words of the runtime that several subsystems write: the compiled program's
// source position, reported at the end of a run.
#pragma once

#include <cstdint>

extern int32_t SourcePositionWord;
extern int32_t SourceLineWord;  // copied into LastErrorLine by SetLastErrorCode

// Frame state that the core reads and the application frame writes.
extern uint32_t PauseFlag;
extern uint32_t AutoPauseFlag;  // 1 at start: losing the focus pauses the program
extern int32_t EscapeEndsFlag;  // 1 at start
extern int32_t ConfiguredScreenWidth, ConfiguredScreenHeight;  // set by the project settings
extern int32_t DesktopWidth, DesktopHeight;                    // stored when the window is made

// Puts every core static back to its start value (tests only).
void ResetCoreStateForTests();
