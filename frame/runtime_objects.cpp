// The frame's engine-object pointers.
#include "frame/runtime_objects.h"

OpenGLRainbows* GraphicsContext = nullptr;
Rainbows3D* SceneObject = nullptr;
InputManager* InputObject = nullptr;
SoundDevice* SoundHolder = nullptr;
std::vector<SoundSlot>* SoundSlots = nullptr;
