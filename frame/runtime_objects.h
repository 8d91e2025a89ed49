// The engine objects of the frame, each reached through one process-wide pointer that the
// start-up sets and the shutdown clears. Null before the start-up and after the shutdown.
#pragma once

class OpenGLRainbows;
struct InputManager;

extern OpenGLRainbows* GraphicsContext;
extern InputManager* InputObject;
