// The program's keyboard, mouse and joystick commands over the process's input object. Mouse
// coordinates are logical screen points: the graphics context's orientation turns them.
#pragma once

#include <cstdint>

#include "core/str.h"

// Counts KeyDown calls; the frame resets it, and every 129th call re-reads the keyboard so that
// a program polling keys without ending frames still sees fresh state.
extern uint32_t KeyPollCounter;

// 1 while the key (its number, low 8 bits used) is down. Tells the script runner that the
// program watches the keys.
int32_t KeyDown(int32_t key);
// KeyDown without telling the script runner: the runtime's own waits read the keys too, and a
// wait is no program polling them.
int32_t KeyHeld(int32_t key);
// The oldest typed character as a one-character string, "" when none; the caller releases it.
Str GetTypedChar();

// Axes from -1 to 1; x and y (and rx and ry) turned for the screen orientation.
double JoystickX(int32_t n);
double JoystickY(int32_t n);
double JoystickZ(int32_t n);
double JoystickRX(int32_t n);
double JoystickRY(int32_t n);
double JoystickRZ(int32_t n);
// Joystick 0: x and y as -1, 0 or 1, and the first two buttons as they read (non-zero = down).
void JoystickState(int32_t* x, int32_t* y, int32_t* button1, int32_t* button2);
void JoystickStateFloat(double* x, double* y, double* button1, double* button2);
// The first hat as a direction, -1, 0 or 1 on each axis, turned for the screen orientation.
double JoystickPovX(int32_t n);
double JoystickPovY(int32_t n);
// "" for an unknown joystick; the caller releases it.
Str JoystickName(int32_t n);
double JoystickCount();
void JoystickForceFeedback(int32_t n, double durationMs, double x, double y);

int32_t MouseCount();
void SelectMouse(int32_t n);
// 0 x and 1 y movement since the last frame, 2 wheel steps, 3 left, 4 right, 5 middle button;
// any other axis 0.
int32_t MouseAxis(int32_t n);
// The position clamped to the logical screen, and the left and right buttons (0/1).
void MouseState(int32_t* x, int32_t* y, int32_t* button1, int32_t* button2);
void MouseStateFloat(double* x, double* y, double* button1, double* button2);
void ShowPointer(double show);
// Moves the position the mouse commands report; the system cursor stays where it is.
void SetMousePosition(int32_t x, int32_t y);
