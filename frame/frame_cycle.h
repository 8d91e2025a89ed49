// The frame cycle: ending a frame (ShowScreen), showing it and waiting out the frame period, the
// window's message pump and the keep-alive that every waiting loop of the runtime shares.
// Main thread only.
#pragma once

#include <cstdint>

#include "core/user_functions.h"

class OpenGLRainbows;
struct InputManager;

// The start of the current and of the previous frame and the start-up time stamp, GetTimerAll
// milliseconds.
struct FrameTimesRecord {
  double currentFrameStart = 0.0;
  double previousFrameStart = 0.0;
  double startupTimeStamp = 0.0;
};
extern FrameTimesRecord FrameTimes;

// The program's "QRN_WIN32_MSG", looked up once per run by whichever loop pumps first.
struct MessageCallbackRecord {
  int32_t state = -1;  // -1 not looked up yet, 0 the program has none, 1 found
  UserFunction function = nullptr;
};
extern MessageCallbackRecord MessageCallbackCache;

// Ends the frame of the process's graphics context: input, the end keys, messages, the picture
// (show nonzero) or only the preparation of the next one (show 0), and the 2D defaults for the
// next frame. Does not return when the program ends here.
void ShowScreen(int32_t show);

// Shows the frame and waits for the next frame time; the callback (or null) runs for every
// pumped window message. 1, or 0 when the message pump failed.
int32_t PresentFrame(OpenGLRainbows& ctx, UserFunction messageCallback);
// Clears the picture for the next frame, or draws background picture 0 over it.
void ClearFrame(OpenGLRainbows& ctx);
// fps of 0 or less gives a period of 2 ms.
void SetFrameRate(OpenGLRainbows& ctx, int32_t framesPerSecond, uint8_t verticalSync);
double FramePeriodMs(int32_t framesPerSecond);
// The next frame time after a wait that ended at t: one period on, two when the frame was up to
// one period late, else t plus one period, so that a late frame never makes the following ones
// hurry. A period of 0 or less leaves it unchanged.
double AdvanceNextFrameTime(double next, double period, double t);

// Hands the main window's messages to its procedure: typed characters to the typed-character
// queue, keys to TranslateMessage; the callback (or null) runs before each one is taken. 1.
int32_t PumpMessages(OpenGLRainbows& ctx, UserFunction messageCallback);
// The program's "QRN_WIN32_MSG" or null, looked up on the first call only.
UserFunction MessageCallback();
// Calls the program's "QRN_WIN32_MSG" when it has one.
void CallWin32MsgCallback();
// What every waiting loop does to keep the window alive: looping music, then the message pump
// with the program's callback. 0 when the pump failed.
int32_t KeepWindowAlive();

// Reads the keyboard, and every mouse with its movement taken (the frame's movement baseline).
void ReadKeyboardAndMice(InputManager& input);
// Escape down in the input object's key buffer (or key 129, which no key produces, kept beside it).
bool EscapeHeld(const InputManager& input);

void ResetFrameCycleForTests();
