// The keyboard, mouse and joystick commands.
#include "frame/input_commands.h"

#include <algorithm>
#include <string>

#include "frame/graphics_context.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"

uint32_t KeyPollCounter = 0;

namespace {

constexpr uint32_t kKeyPollsPerRead = 128;

struct Delta {
  int32_t x, y;
};

// Before the start-up (or after the shutdown) there is no screen to turn for: orientation 0.
Delta TurnForScreen(int32_t dx, int32_t dy) {
  Delta turned{dx, dy};
  if (GraphicsContext) RotateDelta(*GraphicsContext, dx, dy, &turned.x, &turned.y);
  return turned;
}

double UnitAxis(int32_t raw) { return std::clamp(raw / 32767.0, -1.0, 1.0); }

platform::JoyState PollJoystick(int32_t n) {
  platform::JoyState state{};
  if (InputObject) JoystickPoll(*InputObject, state, n);
  return state;
}

// The first hat's direction, both components turned together: turning one component alone
// moves it into the other axis on a quarter-turned screen, where it would then read 0.
Delta TurnedHat(int32_t n) {
  int32_t x, y;
  HatDirection(PollJoystick(n).pov[0], &x, &y);
  return TurnForScreen(x, y);
}

Str StrOf(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

}  // namespace

int32_t KeyDown(int32_t key) {
  NoteKeysRead();
  return KeyHeld(key);
}

int32_t KeyHeld(int32_t key) {
  if (!InputObject) return 0;
  if (++KeyPollCounter > kKeyPollsPerRead) {
    KeyPollCounter = 0;
    KeyboardRead(*InputObject);
  }
  return (InputObject->keyBuffer[key & 0xFF] & 0x80) ? 1 : 0;
}

Str GetTypedChar() {
  NoteKeysRead();
  const char typed[2] = {
      static_cast<char>(InputObject ? PopTypedChar(InputObject->typedChars) : 0), 0};
  Str s;
  StrFromCString(s, typed);
  return s;
}

double JoystickX(int32_t n) {
  const platform::JoyState state = PollJoystick(n);
  return UnitAxis(TurnForScreen(state.lX, state.lY).x);
}

double JoystickY(int32_t n) {
  const platform::JoyState state = PollJoystick(n);
  return UnitAxis(TurnForScreen(state.lX, state.lY).y);
}

double JoystickZ(int32_t n) { return UnitAxis(PollJoystick(n).lZ); }

double JoystickRX(int32_t n) {
  const platform::JoyState state = PollJoystick(n);
  return UnitAxis(TurnForScreen(state.lRx, state.lRy).x);
}

double JoystickRY(int32_t n) {
  const platform::JoyState state = PollJoystick(n);
  return UnitAxis(TurnForScreen(state.lRx, state.lRy).y);
}

double JoystickRZ(int32_t n) { return UnitAxis(PollJoystick(n).lRz); }

void JoystickState(int32_t* x, int32_t* y, int32_t* button1, int32_t* button2) {
  const platform::JoyState state = PollJoystick(0);
  *x = state.lX / 30000;
  *y = state.lY / 30000;
  *button1 = state.buttons[0];
  *button2 = state.buttons[1];
}

void JoystickStateFloat(double* x, double* y, double* button1, double* button2) {
  int32_t ix, iy, b1, b2;
  JoystickState(&ix, &iy, &b1, &b2);
  *x = ix;
  *y = iy;
  *button1 = b1;
  *button2 = b2;
}

double JoystickPovX(int32_t n) { return TurnedHat(n).x; }

double JoystickPovY(int32_t n) { return TurnedHat(n).y; }

Str JoystickName(int32_t n) { return StrOf(InputObject ? InputJoystickName(*InputObject, n) : ""); }

double JoystickCount() { return InputObject ? InputJoystickCount(*InputObject) : 0; }

void JoystickForceFeedback(int32_t n, double durationMs, double x, double y) {
  if (!InputObject) return;
  JoystickStartForce(*InputObject, n, 1, static_cast<float>(durationMs), static_cast<float>(x),
                     static_cast<float>(y));
}

int32_t MouseCount() { return InputMouseCount(); }

void SelectMouse(int32_t n) {
  if (InputObject) SetCurrentMouse(*InputObject, n < MouseCount() ? n : 0);
}

int32_t MouseAxis(int32_t n) {
  if (!InputObject || n < 0 || n > 5) return 0;
  MouseReport report;
  MousePoll(*InputObject, report, false);
  int32_t dx = report[3], dy = report[4];
  if (GraphicsContext) ScreenDeltaToLogical(*GraphicsContext, report[3], report[4], &dx, &dy);
  switch (n) {
    case 0: return dx;
    case 1: return dy;
    case 2: return report[5];
    default: return report[n - 3];
  }
}

void MouseState(int32_t* x, int32_t* y, int32_t* button1, int32_t* button2) {
  *x = *y = *button1 = *button2 = 0;
  if (!InputObject || !GraphicsContext) return;
  MouseReport report;
  MousePoll(*InputObject, report, true);
  *button1 = report[0];
  *button2 = report[1];
  ClampReportedMouse(*InputObject, *GraphicsContext, x, y);
}

void MouseStateFloat(double* x, double* y, double* button1, double* button2) {
  int32_t ix, iy, b1, b2;
  MouseState(&ix, &iy, &b1, &b2);
  *x = ix;
  *y = iy;
  *button1 = b1;
  *button2 = b2;
}

void ShowPointer(double show) {
  // A NaN is not 0, so it shows the pointer.
  if (InputObject) SetPointerVisible(*InputObject, !(show == 0.0));
}

void SetMousePosition(int32_t x, int32_t y) {
  if (!InputObject || !GraphicsContext || InputObject->mice.empty()) return;
  MouseRow& row = InputObject->mice[0];
  // A point off the screen would only be clamped by the next read, after mapping it overflowed.
  ClampToLogicalScreen(*GraphicsContext, &x, &y);
  LogicalToScreen(*GraphicsContext, x, y, &row.x, &row.y);
  row.reportedX = row.x;
  row.reportedY = row.y;
}
