// The end of every run: the quit sequence that releases what the start-up made, and the
// runtime's own terminate path behind the core's TerminateProgram and FatalTerminate.
#pragma once

// Calls the program's "QRN_ON_QUIT" (once per process), then, while a graphics context exists,
// stops the music, makes the executable's folder current again, closes the file channels, lets
// the network go and releases the input object, the sound slots and device, the 3D scene, the
// graphics context, the media searches' results and the window. Safe to call again: a later
// call finds nothing left to release.
void QuitRuntime();

// Makes the core's terminate entries end through the quit sequence: the end-of-program lines
// when DebugFlag is set, QuitRuntime, "exit" on standard output, then the process's exit with
// the status the core asks for (0 for the normal end, 1 after a fatal error).
void InstallRuntimeTerminate();

void ResetShutdownForTests();
