// Game controllers and force feedback over SDL2.
#include "platform/joystick.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/window.h"

namespace platform {

namespace {

struct Controller {
  SDL_Joystick* joystick = nullptr;
  SDL_Haptic* haptic = nullptr;
  int effect = -1;  // the haptic effect last made, freed before the next one
};

struct JoystickLayer {
  std::vector<Controller> controllers;
  std::vector<SDL_Joystick*> virtualHandles;  // test seam handles, by device index
  test::RumbleCall lastRumble;
};

JoystickLayer& Layer() {
  static JoystickLayer layer;
  return layer;
}

bool JoysticksReady() {
  // SDL ignores controllers while no window has the focus, as a foreground device does; a
  // driver without focus (offscreen) would then never read one, so there they always count.
  if (Headless()) SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
  // Without haptics a controller still works, it just plays no force.
  if (!SDL_WasInit(SDL_INIT_HAPTIC)) SDL_InitSubSystem(SDL_INIT_HAPTIC);
  return true;
}

Controller* ControllerAt(int index) {
  std::vector<Controller>& controllers = Layer().controllers;
  if (index < 0 || index >= static_cast<int>(controllers.size())) return nullptr;
  return &controllers[index];
}

uint32_t PovFromHat(uint8_t hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFF;
  }
}

void ReleaseController(Controller& controller) {
  if (controller.haptic) SDL_HapticClose(controller.haptic);
  SDL_JoystickClose(controller.joystick);
  controller = Controller{};
}

bool PlayAsRumble(Controller& controller, uint32_t iterations, uint32_t lengthMs,
                  int32_t magnitude) {
  const auto strength = static_cast<uint16_t>(static_cast<int64_t>(magnitude) * 0xFFFF / 10000);
  const uint64_t total = static_cast<uint64_t>(lengthMs) * std::max<uint32_t>(iterations, 1);
  const auto duration = static_cast<uint32_t>(std::min<uint64_t>(total, 0xFFFFFFFFu));
  return SDL_JoystickRumble(controller.joystick, strength, strength, duration) == 0;
}

}  // namespace

int OpenJoysticks(int max) {
  CloseJoysticks();
  if (!JoysticksReady()) return -1;
  const int attached = std::min(SDL_NumJoysticks(), max);
  for (int device = 0; device < attached; ++device) {
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    if (!joystick) continue;
    Controller controller;
    controller.joystick = joystick;
    if (SDL_JoystickIsHaptic(joystick) == SDL_TRUE) {
      controller.haptic = SDL_HapticOpenFromJoystick(joystick);
    }
    Layer().controllers.push_back(controller);
  }
  return static_cast<int>(Layer().controllers.size());
}

void CloseJoysticks() {
  for (Controller& controller : Layer().controllers) ReleaseController(controller);
  Layer().controllers.clear();
}

void ReadJoystick(int index, JoyState* state) {
  std::memset(state, 0, sizeof(JoyState));
  Controller* controller = ControllerAt(index);
  if (!controller) return;
  SDL_JoystickUpdate();
  SDL_Joystick* joystick = controller->joystick;
  int32_t* axes[8] = {&state->lX,  &state->lY,  &state->lZ,        &state->lRx,
                      &state->lRy, &state->lRz, &state->slider[0], &state->slider[1]};
  const int axisCount = std::min(SDL_JoystickNumAxes(joystick), 8);
  for (int axis = 0; axis < axisCount; ++axis) *axes[axis] = SDL_JoystickGetAxis(joystick, axis);
  const int hatCount = std::max(0, SDL_JoystickNumHats(joystick));
  for (int hat = 0; hat < 4; ++hat) {
    state->pov[hat] = hat < hatCount ? PovFromHat(SDL_JoystickGetHat(joystick, hat)) : 0xFFFFFFFF;
  }
  const int buttonCount = std::min(SDL_JoystickNumButtons(joystick), 32);
  for (int button = 0; button < buttonCount; ++button) {
    state->buttons[button] = SDL_JoystickGetButton(joystick, button) ? 0x80 : 0;
  }
}

std::string JoystickName(int index) {
  Controller* controller = ControllerAt(index);
  const char* name = controller ? SDL_JoystickName(controller->joystick) : nullptr;
  return name ? name : "";
}

bool JoystickHasForce(int index) {
  Controller* controller = ControllerAt(index);
  return controller &&
         (controller->haptic || SDL_JoystickHasRumble(controller->joystick) == SDL_TRUE);
}

void ResetForce(int index) {
  Controller* controller = ControllerAt(index);
  if (!controller) return;
  if (controller->haptic) {
    SDL_HapticStopAll(controller->haptic);
  } else {
    SDL_JoystickRumble(controller->joystick, 0, 0, 0);
  }
}

bool ConstantForce(int index, uint32_t iterations, uint32_t lengthMs, int32_t dirX, int32_t dirY,
                   int32_t magnitude) {
  Controller* controller = ControllerAt(index);
  if (!controller) return false;
  magnitude = std::clamp(magnitude, 0, 10000);
  if (!controller->haptic) return PlayAsRumble(*controller, iterations, lengthMs, magnitude);
  if (controller->effect >= 0) SDL_HapticDestroyEffect(controller->haptic, controller->effect);
  SDL_HapticEffect effect{};
  effect.type = SDL_HAPTIC_CONSTANT;
  effect.constant.direction.type = SDL_HAPTIC_CARTESIAN;
  effect.constant.direction.dir[0] = std::clamp(dirX, -32767, 32767);
  effect.constant.direction.dir[1] = std::clamp(dirY, -32767, 32767);
  effect.constant.length = lengthMs;
  effect.constant.level = static_cast<Sint16>(magnitude * 32767 / 10000);
  controller->effect = SDL_HapticNewEffect(controller->haptic, &effect);
  if (controller->effect < 0) return false;
  return SDL_HapticRunEffect(controller->haptic, controller->effect, iterations) == 0;
}

namespace test {

namespace {

int SDLCALL RecordRumble(void* device, Uint16 low, Uint16 high) {
  Layer().lastRumble = RumbleCall{static_cast<int>(reinterpret_cast<intptr_t>(device)), low, high};
  return 0;
}

SDL_Joystick* VirtualHandle(int device) {
  std::vector<SDL_Joystick*>& handles = Layer().virtualHandles;
  return device >= 0 && device < static_cast<int>(handles.size()) ? handles[device] : nullptr;
}

}  // namespace

int AttachVirtualJoystick(int axes, int buttons, int hats, bool rumble) {
  if (!JoysticksReady()) return -1;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  // A plain joystick: a game-controller type would start its trigger axes at the minimum.
  desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
  desc.naxes = static_cast<Uint16>(axes);
  desc.nbuttons = static_cast<Uint16>(buttons);
  desc.nhats = static_cast<Uint16>(hats);
  desc.name = "Virtual Pad";
  // The rumble callback learns its device from the user data: the index the device will get.
  const int expected = SDL_NumJoysticks();
  desc.userdata = reinterpret_cast<void*>(static_cast<intptr_t>(expected));
  if (rumble) desc.Rumble = RecordRumble;
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  if (device < 0) return -1;
  std::vector<SDL_Joystick*>& handles = Layer().virtualHandles;
  if (static_cast<int>(handles.size()) <= device) handles.resize(device + 1, nullptr);
  handles[device] = SDL_JoystickOpen(device);
  return handles[device] ? device : -1;
}

void SetVirtualAxis(int device, int axis, int16_t value) {
  if (SDL_Joystick* joystick = VirtualHandle(device)) {
    SDL_JoystickSetVirtualAxis(joystick, axis, value);
  }
}

void SetVirtualButton(int device, int button, bool down) {
  if (SDL_Joystick* joystick = VirtualHandle(device)) {
    SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
}

void SetVirtualHat(int device, int hat, uint8_t hatBits) {
  if (SDL_Joystick* joystick = VirtualHandle(device)) {
    SDL_JoystickSetVirtualHat(joystick, hat, hatBits);
  }
}

void DetachVirtualJoysticks() {
  for (SDL_Joystick* joystick : Layer().virtualHandles) {
    if (joystick) SDL_JoystickClose(joystick);
  }
  Layer().virtualHandles.clear();
  for (int device = SDL_NumJoysticks() - 1; device >= 0; --device) {
    if (SDL_JoystickIsVirtual(device)) SDL_JoystickDetachVirtual(device);
  }
  Layer().lastRumble = RumbleCall{};
}

RumbleCall LastRumble() { return Layer().lastRumble; }

}  // namespace test

}  // namespace platform
