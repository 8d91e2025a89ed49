// Game controllers and force feedback: stands in for DirectInput's game-controller devices and
// constant-force effects. Backed by SDL2's joystick and haptic interfaces, which cover every
// controller Linux offers, so there is no second (multimedia) joystick path. Controllers are
// opened once; one plugged in later is not seen, as an enumeration made once would not see it.
// A controller without haptics but with rumble plays a constant force as rumble of the same
// strength. Test seams: SDL virtual joysticks, with a rumble log.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// One read of a controller in the runtime's record layout: axes (-32768..32767), two sliders,
// four hats in hundredths of a degree clockwise from up (0xFFFFFFFF centred), 32 buttons
// (0x80 = down).
struct JoyState {
  int32_t lX, lY, lZ, lRx, lRy, lRz;
  int32_t slider[2];
  uint32_t pov[4];
  uint8_t buttons[32];
};
static_assert(sizeof(JoyState) == 80);

// Opens up to max attached controllers (indices 0 .. count - 1); -1 when the joystick system
// cannot be started.
int OpenJoysticks(int max);
void CloseJoysticks();

// All zero for an index without a controller.
void ReadJoystick(int index, JoyState* state);
// The product name, "" for an index without a controller.
std::string JoystickName(int index);

bool JoystickHasForce(int index);
// Stops every effect of the controller.
void ResetForce(int index);
// A constant force of magnitude 0..10000 towards (dirX, dirY) (each -32767..32767), lasting
// lengthMs, played `iterations` times; the previous effect of the controller is freed first.
bool ConstantForce(int index, uint32_t iterations, uint32_t lengthMs, int32_t dirX, int32_t dirY,
                   int32_t magnitude);

namespace test {

// Hat bits for SetVirtualHat.
enum HatBits : uint8_t { kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8 };

// A virtual controller with the given parts; its device index, or -1.
int AttachVirtualJoystick(int axes, int buttons, int hats, bool rumble);
void SetVirtualAxis(int device, int axis, int16_t value);
void SetVirtualButton(int device, int button, bool down);
void SetVirtualHat(int device, int hat, uint8_t hatBits);
void DetachVirtualJoysticks();

struct RumbleCall {
  int device = -1;
  uint16_t low = 0, high = 0;
};
// The last rumble a virtual controller received; device -1 when none.
RumbleCall LastRumble();

}  // namespace test

}  // namespace platform
