#include "frame/hibernate.h"

#include <cmath>
#include <cstdio>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/terminate.h"
#include "frame/frame_cycle.h"
#include "frame/input_commands.h"
#include "frame/input_manager.h"
#include "frame/runtime_objects.h"
#include "platform/clock.h"
#include "platform/joystick.h"

int32_t ReactivateRequest = 0;

namespace {

constexpr int kPasses = 15;
constexpr uint32_t kPassSleepMs = 5;
constexpr uint32_t kPauseSleepMs = 200;
constexpr double kStickDeadZone = 0.1;

struct MouseBaseline {
  int32_t x, y;
  int16_t firstButton, secondButton;
  bool operator==(const MouseBaseline&) const = default;
};

// The mouse as the program sees it, kept inside the logical screen.
MouseBaseline ReadMouseBaseline(InputManager& input, const OpenGLRainbows& ctx) {
  MouseReport report;
  MousePoll(input, report, true);
  MouseBaseline baseline{0, 0, report[0], report[1]};
  ClampReportedMouse(input, ctx, &baseline.x, &baseline.y);
  return baseline;
}

void PauseLoop() {
  std::puts("pause loop in showscreen/hibernate");
  while (PauseFlag && !ReactivateRequest) {
    if (!KeepWindowAlive()) {
      SetLastErrorCode(0);
      TerminateProgram();
    }
    platform::SleepMs(kPauseSleepMs);
  }
  std::puts("pause loop ended");
}

bool AnyKeyDown() {
  for (int32_t key = 0; key <= 254; ++key) {
    if (KeyHeld(key)) return true;
  }
  return false;
}

double StickAxis(int32_t raw) {
  return std::fmin(1.0, std::fmax(-1.0, raw / 32767.0));
}

// A quarter turn of the screen only swaps or negates the two stick axes and the hat's
// components, and every one of them is tested alike, so the orientation changes nothing here.
bool JoystickMoved(InputManager& input) {
  for (int32_t n = InputJoystickCount(input) - 1; n >= 0; --n) {
    platform::JoyState state{};
    JoystickPoll(input, state, n);
    for (uint8_t button : state.buttons) {
      if (button & 0x80) return true;
    }
    for (int32_t raw : {state.lX, state.lY, state.lZ}) {
      if (std::fabs(StickAxis(raw)) > kStickDeadZone) return true;
    }
    int32_t hatX = 0, hatY = 0;
    HatDirection(state.pov[0], &hatX, &hatY);
    if (hatX != 0 || hatY != 0) return true;
  }
  return false;
}

bool UserActed(InputManager& input, const OpenGLRainbows& ctx, const MouseBaseline& baseline) {
  KeyPollCounter = 0;
  ReadKeyboardAndMice(input);
  if (EscapeEndsFlag && EscapeHeld(input)) TerminateProgram();
  if (AnyKeyDown()) return true;
  if (!(ReadMouseBaseline(input, ctx) == baseline)) return true;
  return JoystickMoved(input);
}

}  // namespace

void Hibernate() {
  if (!GraphicsContext) return;
  const OpenGLRainbows& ctx = *GraphicsContext;
  // Without input devices the passes still keep the window alive and hold a paused program.
  InputManager* input = InputObject;
  const MouseBaseline baseline = input ? ReadMouseBaseline(*input, ctx) : MouseBaseline{};
  for (int pass = 0; pass < kPasses; ++pass) {
    if (!KeepWindowAlive()) TerminateProgram();
    // A pending reactivation ends the pause loop at once; until the next frame clears it, the
    // passes below go on sleeping instead, or a paused wait would spin.
    if (PauseFlag && !ReactivateRequest) {
      PauseLoop();
      return;
    }
    if (input && UserActed(*input, ctx, baseline)) return;
    platform::SleepMs(kPassSleepMs);
  }
}
