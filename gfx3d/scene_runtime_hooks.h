// How a program puts the 3D scene under the frame, which cannot name it: the program's entry
// lists InstallGfx3dLayer among its layers (frame/program_entry.h).
#pragma once

// The start-up makes the scene after the graphics context and the quit sequence deletes it while
// the context still exists; every frame end leaves the shadow pass, drops the second texture and
// returns to the fixed pipeline.
void InstallGfx3dLayer();
