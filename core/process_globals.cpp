// Definitions of the process-wide words and the core's test reset.
#include "core/process_globals.h"

#include "core/last_error.h"
#include "core/terminate.h"

int32_t SourcePositionWord = 0;
int32_t SourceLineWord = 0;

void ResetCoreStateForTests() {
  LastErrorCode = 0;
  LastErrorLine = 0;
  SourcePositionWord = 0;
  SourceLineWord = 0;
  ResetTerminationForTests();
}
