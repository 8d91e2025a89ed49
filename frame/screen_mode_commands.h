// The program's command for a new screen mode, and the settling sequence it shares with the file
// dialog's return to fullscreen.
#pragma once

#include <cstdint>

// Stores the size and the fullscreen setting as the program's screen settings, then enters the
// mode as EnterScreenMode does. Without a graphics context only the settings change.
void ChangeScreenMode(int32_t width, int32_t height, int32_t fullscreen);

// The mode at that size with the colour depth kept, the mouse set up again for the pointer as
// it is, the window handed to input and sound, and five frames shown in the new mode.
void EnterScreenMode(int32_t width, int32_t height, int32_t fullscreen);
