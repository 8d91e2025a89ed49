// The engine objects of the frame, each reached through one process-wide pointer that the
// start-up sets and the shutdown clears. Null before the start-up and after the shutdown.
#pragma once

#include <vector>

class OpenGLRainbows;
class Rainbows3D;
struct InputManager;
struct SoundDevice;
struct SoundSlot;

extern OpenGLRainbows* GraphicsContext;
extern Rainbows3D* SceneObject;  // made by the 3D layer's start-up hook; null without one
extern InputManager* InputObject;
extern SoundDevice* SoundHolder;
extern std::vector<SoundSlot>* SoundSlots;  // the 4096 sound slots
