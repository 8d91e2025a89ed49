// Stand-in for the runtime's release until the start-up and shutdown land: no start-up has made
// anything yet, so there is nothing to release.
#include "frame/quit_runtime.h"

void QuitRuntime() {}
