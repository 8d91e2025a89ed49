// Stand-in for the main window procedure until the message handling lands: every message is
// taken as handled.
#include "frame/window_procedure.h"

intptr_t MainWindowProc(platform::Window*, uint32_t, uintptr_t, intptr_t) { return 0; }
