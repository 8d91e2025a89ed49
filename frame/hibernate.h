// The idle step of every waiting loop, and the pause loop that holds a paused program.
#pragma once

#include <cstdint>

// Set to bring the window back to the front at the next frame; it also ends the pause loop.
extern int32_t ReactivateRequest;

// Keeps music and messages alive and returns as soon as the user does anything (a key, the mouse
// moving or a button, a joystick), else after 15 passes of about 5 ms. A paused program stays
// inside until it is resumed. Escape ends the program while Escape-ends is on.
void Hibernate();
