// Releasing the runtime at the end of the program.
#pragma once

// Runs the program's quit callback and releases every object the start-up made; a second call
// finds nothing left to release.
void QuitRuntime();
