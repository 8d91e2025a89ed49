// The input object: keyboard, mouse, controllers and the queue of typed characters, over the
// platform layer's event intake. The frame cycle reads keyboard and mouse once per frame; the
// input commands query this object.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/joystick.h"

namespace platform {
struct Window;
}
class OpenGLRainbows;

inline constexpr int kMaxJoysticks = 10;
inline constexpr int kMaxTypedChars = 16;
inline constexpr uint32_t kInputNoDevices = 0x8000000A;   // the controller system could not start
inline constexpr uint32_t kInputMouseNotTaken = 0x8000000C;  // the exclusive mouse was refused
inline constexpr uint32_t kMouseLevelExclusive = 5;       // pointer hidden, relative movement
inline constexpr uint32_t kMouseLevelShared = 6;          // pointer shown, absolute positions

// Positions are client pixels. The current position follows the mouse between polls; the
// reported one is as of the last consuming poll, and the wheel sum gathers steps since then.
struct MouseRow {
  int32_t x = 0, y = 0;
  int32_t reportedX = 100, reportedY = 100;
  int32_t wheelSum = 0;
};

// Characters typed into the main window, oldest first; at most 16 pending.
struct TypedCharQueue {
  std::vector<uint8_t> pending;
};

// A mouse poll: left, right, middle (0/1), x and y movement, wheel steps.
using MouseReport = std::array<int16_t, 6>;

struct InputManager {
  InputManager();

  TypedCharQueue typedChars;
  std::vector<MouseRow> mice;  // only row 0 is used
  int32_t currentMouse = 0;
  bool devicesOpen = false;    // the controller system started
  bool mouseDevice = false;    // the mouse was taken exclusively at start-up
  int32_t joystickCount = 0;
  std::array<std::string, kMaxJoysticks> joystickNames;
  std::array<uint8_t, 256> keyBuffer{};  // by key number, 0x80 = down
  platform::Window* window = nullptr;
  uint8_t pointerShown = 0;
  uint32_t mouseCooperativeLevel = kMouseLevelShared;
  std::array<uint16_t, 256> scanCodeTable{};
};

// Set-up with the main window; exclusiveMouse takes the mouse with the pointer hidden.
// 1, kInputNoDevices, or kInputMouseNotTaken (logged "can't aquire mouse - first try") when the
// driver will not capture the mouse for relative movement. The mouse works then all the same:
// its movement is summed from the motion events.
uint32_t InputInit(InputManager& input, platform::Window* window, bool exclusiveMouse);
// Shows the pointer, releases the mouse and the controllers and empties the tables.
void InputRelease(InputManager& input);

// identity: every key number maps to itself; else the key numbers get Windows virtual keys as a
// German layout places them.
void BuildScanCodeTable(InputManager& input, bool identity);

// Refreshes the key buffer; while the window is not active every key reads up.
void KeyboardRead(InputManager& input);

// One raw read of the current mouse, moving (x, y) and clamping it to the window; buttons bit 0
// left, 1 right, 2 middle.
uint32_t MouseRead(InputManager& input, int32_t* x, int32_t* y, int32_t* wheel);
// Reads the current mouse into the report; consume takes the movement and the wheel steps.
void MousePoll(InputManager& input, MouseReport& report, bool consume);
// Polls every mouse, taking the movement, then once more; true when a button is down.
bool AnyMouseButtonDown(InputManager& input);

// The pointer on or off, as every part of the runtime that changes it does it: the exclusive
// mouse goes to the matching level, and a pointer coming back appears at the reported position.
void SetPointerVisible(InputManager& input, bool show);

// The current mouse's reported position in logical screen coordinates, clamped to the logical
// screen (0 .. W, 0 .. H, the two swapped when the screen is turned a quarter), and written back.
void ClampReportedMouse(InputManager& input, const OpenGLRainbows& ctx, int32_t* x, int32_t* y);
// A logical point kept inside that same logical screen.
void ClampToLogicalScreen(const OpenGLRainbows& ctx, int32_t* x, int32_t* y);

// Always 1: the state of controller `index`, all zero without one.
int32_t JoystickPoll(InputManager& input, platform::JoyState& state, int32_t index);
// A hat reading (hundredths of a degree clockwise from up) as -1, 0 or 1 on each window axis;
// (0, 0) when centred or between the eight directions.
void HatDirection(uint32_t pov, int32_t* x, int32_t* y);
// A constant force on controller `index` (duration in ms, x and y from -1 to 1).
void JoystickStartForce(InputManager& input, int32_t index, uint32_t iterations, float duration,
                        float x, float y);

// The effect the force command asks for, with every value in its field's range.
struct ConstantForceParams {
  uint32_t lengthMs;
  int32_t dirX, dirY;
  int32_t magnitude;  // 0 .. 10000
};
ConstantForceParams ConstantForceFor(float duration, float x, float y);

std::string InputJoystickName(const InputManager& input, int32_t index);
int32_t InputJoystickCount(const InputManager& input);
int32_t InputMouseCount();
void SetCurrentMouse(InputManager& input, int32_t n);

// The rules of the queue: 0 is dropped, 13 is stored as 10, other control characters but 8, 9
// and 10 are dropped, and nothing is added while 16 are pending.
void PushTypedChar(TypedCharQueue& queue, uint8_t c);
// The same on the process's input object, for the window's message pump.
void PushTypedChar(uint8_t c);
// The oldest character as a signed byte, 0 when none is pending.
int32_t PopTypedChar(TypedCharQueue& queue);
// Takes the oldest character; true when one was pending and it was not 0.
bool AnyKeyHit(TypedCharQueue& queue);

// The character a key types in the current layout (signed byte), 0 for none.
int32_t KeyToAscii(InputManager& input, int32_t scanCode);
