// How a program puts the 2D layer under the frame, which cannot name it: the program's entry
// lists InstallGfx2dLayer among its layers (frame/program_entry.h), and the start-up, the frame
// cycle and the quit sequence then reach the sprites, screens, pictures and fonts through it.
#pragma once

// Every part below, in any order: each copies the frame's table and sets only its own fields.
void InstallGfx2dLayer();

// The parts, each defined beside what it hands over.
void InstallSpriteServices();     // gfx2d/sprite_store.cpp
void InstallScreenServices();     // gfx2d/offscreen_screens.cpp
void InstallBackgroundDrawing();  // gfx2d/background_pictures.cpp
void InstallTextHooks();          // gfx2d/text_runtime_hooks.cpp
void InstallScreenSnapshot();     // gfx2d/screen_snapshot.cpp
