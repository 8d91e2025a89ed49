// Definitions of the process-wide words and the core's test reset.
#include "core/process_globals.h"

#include "core/console.h"
#include "core/data_read.h"
#include "core/last_error.h"
#include "core/random.h"
#include "core/str_split.h"
#include "core/terminate.h"
#include "core/user_functions.h"

int32_t SourcePositionWord = 0;
int32_t SourceLineWord = 0;
uint32_t PauseFlag = 0;
uint32_t AutoPauseFlag = 1;
int32_t EscapeEndsFlag = 1;
int32_t ConfiguredScreenWidth = 0, ConfiguredScreenHeight = 0;
int32_t DesktopWidth = 0, DesktopHeight = 0;

void ResetCoreStateForTests() {
  LastErrorCode = 0;
  LastErrorLine = 0;
  SourcePositionWord = 0;
  SourceLineWord = 0;
  ResetTerminationForTests();
  PauseFlag = 0;
  AutoPauseFlag = 1;
  EscapeEndsFlag = 1;
  ConfiguredScreenWidth = ConfiguredScreenHeight = DesktopWidth = DesktopHeight = 0;
  ResetConsoleForTests();
  ResetRandomForTests();
  ResetUserFunctionsForTests();
  ResetDataForTests();
  SplitTextStrRelease();
  SplitPieceStrRelease();
}
