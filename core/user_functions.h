// Routines of the compiled program called by name: CALLBYNAME, the reserved callbacks
// ("QRN_ON_LOOP", "QRN_ON_QUIT", "QRN_ON_PAUSE", "QRN_ON_RESUME", "QRN_WIN32_MSG"), the loop
// mode that repeats a named routine as the main loop, and pausing on focus changes. Main thread
// only.
#pragma once

#include <cstdint>

#include "core/str.h"

using UserFunction = void (*)();

// One row of the program's table; a row with a null fn ends the table.
struct UserFunctionEntry {
  UserFunction fn;
  const char* name;
};

// The program's table, registered once and never changed afterwards. Null: no routines.
extern const UserFunctionEntry* UserFunctionTable;
void SetUserFunctionTable(const UserFunctionEntry* table);

// Exact, case-sensitive lookup; the first matching row wins. Null when no row matches.
UserFunction FindUserFunction(const Str& name);

// 1 when the routine was found and called. A missing routine is reported to the debugger, except
// the callbacks a program may leave undefined ("QRN_ON_QUIT", "QRN_WIN32_MSG").
int32_t CallByName(const Str& name);
int32_t CallByName(const char* name);

// The routine the loop mode repeats now, and the one that takes over when it ends.
extern Str CurrentLoopName;
extern Str PendingLoopName;

// Repeats the named routine until it switches the loop (by calling this again from inside) or
// ends it (the empty name). Called from inside a loop routine it only records the switch.
void RunLoopFunction(const Str& name);
// END: leaves the loop mode and ends the program normally.
void EndLoopAndExit();

// Focus changes: nonzero pauses, 0 resumes; honoured only while automatic pausing is on.
void SetPauseState(int32_t request);
void SetAutoPause(int32_t on);

void ResetUserFunctionsForTests();
