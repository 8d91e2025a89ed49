// The input object over the platform layer's keyboard, mouse and controllers.
#include "frame/input_manager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "core/number_text.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"
#include "platform/input.h"
#include "platform/window.h"
#include "system/debug_log.h"

namespace {

// Key number and Windows virtual key of every key a German keyboard has (QWERTZ: 21 is 'Z',
// 44 is 'Y'); every other key number has none (255).
constexpr std::pair<uint8_t, uint8_t> kVirtualKeys[] = {
    {0, 13},    {1, 27},    {2, 49},    {3, 50},    {4, 51},    {5, 52},    {6, 53},
    {7, 54},    {8, 55},    {9, 56},    {10, 57},   {11, 48},   {12, 219},  {13, 221},
    {14, 8},    {15, 9},    {16, 81},   {17, 87},   {18, 69},   {19, 82},   {20, 84},
    {21, 90},   {22, 85},   {23, 73},   {24, 79},   {25, 80},   {26, 186},  {27, 187},
    {28, 13},   {29, 17},   {30, 65},   {31, 83},   {32, 68},   {33, 70},   {34, 71},
    {35, 72},   {36, 74},   {37, 75},   {38, 76},   {39, 192},  {40, 222},  {41, 220},
    {42, 16},   {43, 191},  {44, 89},   {45, 88},   {46, 67},   {47, 86},   {48, 66},
    {49, 78},   {50, 77},   {51, 188},  {52, 190},  {53, 189},  {54, 16},   {55, 106},
    {56, 18},   {57, 32},   {58, 0},    {59, 112},  {60, 113},  {61, 114},  {62, 115},
    {63, 116},  {64, 117},  {65, 118},  {66, 119},  {67, 120},  {68, 121},  {69, 144},
    {70, 145},  {71, 103},  {72, 104},  {73, 105},  {74, 109},  {75, 100},  {76, 101},
    {77, 102},  {78, 107},  {79, 97},   {80, 98},   {81, 99},   {82, 96},   {83, 110},
    {86, 226},  {87, 122},  {88, 123},  {156, 28},  {157, 17},  {181, 111}, {184, 18},
    {199, 36},  {200, 38},  {201, 33},  {203, 37},  {205, 39},  {207, 35},  {208, 40},
    {209, 34},  {210, 45},  {211, 46},  {219, 91},  {220, 92},  {221, 93},
};

int16_t Saturate16(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

int32_t Sign(int32_t value) { return (value > 0) - (value < 0); }

MouseRow* CurrentRow(InputManager& input) {
  if (input.mice.empty()) return nullptr;
  return &input.mice[std::clamp<size_t>(input.currentMouse, 0, input.mice.size() - 1)];
}

void ClampToWindow(const InputManager& input, int32_t* x, int32_t* y) {
  if (!input.window) return;
  int width = 0, height = 0;
  platform::DrawableSize(input.window, &width, &height);
  *x = std::clamp(*x, 0, std::max(width, 0));
  *y = std::clamp(*y, 0, std::max(height, 0));
}

}  // namespace

InputManager::InputManager() : mice(1) { mice.reserve(4); }

uint32_t InputInit(InputManager& input, platform::Window* window, bool exclusiveMouse) {
  input.currentMouse = 0;
  const int controllers = platform::OpenJoysticks(kMaxJoysticks);
  input.devicesOpen = controllers >= 0;
  input.window = window;
  if (MouseRow* row = CurrentRow(input)) {
    const platform::MouseSnapshot mouse = platform::ReadMouse();
    row->x = row->reportedX = mouse.x;
    row->y = row->reportedY = mouse.y;
  }
  input.keyBuffer.fill(0);
  if (!input.devicesOpen) {
    ErrorLogWrite("No DX_Input\n");
    input.joystickCount = 0;
    BuildScanCodeTable(input, false);
    return kInputNoDevices;
  }
  BuildScanCodeTable(input, true);
  input.pointerShown = 0;
  uint32_t result = 1;
  if (exclusiveMouse) {
    input.mouseDevice = true;
    input.mouseCooperativeLevel = kMouseLevelExclusive;
    if (!platform::SetRelativeMode(true)) {
      ErrorLogWrite("can't aquire mouse - first try\n");
      result = kInputMouseNotTaken;
    }
  } else {
    SetPointerVisible(input, true);
  }
  input.joystickCount = controllers;
  for (int i = 0; i < kMaxJoysticks; ++i) {
    // Instance name, ", " and product name; SDL knows one name, which stands for both.
    const std::string name = i < controllers ? platform::JoystickName(i) : std::string();
    input.joystickNames[i] = name.empty() ? name : name + ", " + name;
  }
  return result;
}

void InputRelease(InputManager& input) {
  SetPointerVisible(input, true);  // also lets go of the exclusive mouse
  input.mouseDevice = false;
  if (input.devicesOpen) platform::CloseJoysticks();
  input.devicesOpen = false;
  input.joystickCount = 0;
  input.mice.clear();
  input.typedChars.pending.clear();
}

void BuildScanCodeTable(InputManager& input, bool identity) {
  if (identity) {
    for (size_t i = 0; i < input.scanCodeTable.size(); ++i) input.scanCodeTable[i] = i;
    return;
  }
  input.scanCodeTable.fill(255);
  for (const auto& [key, virtualKey] : kVirtualKeys) input.scanCodeTable[key] = virtualKey;
}

void KeyboardRead(InputManager& input) {
  // Keys held when the focus left would otherwise stay down until it comes back.
  if (!platform::WindowActive()) {
    input.keyBuffer.fill(0);
    return;
  }
  platform::ReadKeyboard(input.keyBuffer.data());
}

uint32_t MouseRead(InputManager& input, int32_t* x, int32_t* y, int32_t* wheel) {
  const platform::MouseSnapshot mouse = platform::ReadMouse();
  *wheel = input.mouseDevice ? Sign(mouse.wheel) : 0;
  if (input.pointerShown) {
    *x = mouse.x;
    *y = mouse.y;
  } else {
    *x += mouse.dx;
    *y += mouse.dy;
  }
  ClampToWindow(input, x, y);
  return mouse.buttons;
}

void MousePoll(InputManager& input, MouseReport& report, bool consume) {
  report.fill(0);
  MouseRow* row = CurrentRow(input);
  if (!row) return;
  int32_t x = input.pointerShown ? row->reportedX : row->x;
  int32_t y = input.pointerShown ? row->reportedY : row->y;
  int32_t wheel = 0;
  const uint32_t buttons = MouseRead(input, &x, &y, &wheel);
  if (!input.pointerShown) {
    row->x = x;
    row->y = y;
  }
  report = {static_cast<int16_t>(buttons & 1),        static_cast<int16_t>((buttons >> 1) & 1),
            static_cast<int16_t>((buttons >> 2) & 1), Saturate16(x - row->reportedX),
            Saturate16(y - row->reportedY),           Saturate16(wheel + row->wheelSum)};
  if (consume) {
    row->reportedX = row->x = x;
    row->reportedY = row->y = y;
    row->wheelSum = 0;
  } else {
    row->wheelSum += wheel;
  }
}

bool AnyMouseButtonDown(InputManager& input) {
  MouseReport report;
  for (size_t i = 0; i < input.mice.size(); ++i) MousePoll(input, report, true);
  MousePoll(input, report, false);
  return report[0] || report[1] || report[2];
}

void SetPointerVisible(InputManager& input, bool show) {
  if (input.mouseDevice) {
    input.mouseCooperativeLevel = show ? kMouseLevelShared : kMouseLevelExclusive;
    platform::SetRelativeMode(!show);
  }
  if (!show) {
    platform::ShowCursor(false);
    input.pointerShown = 0;
    return;
  }
  const MouseRow* row = CurrentRow(input);
  if (!input.pointerShown && row) platform::WarpMouse(input.window, row->reportedX, row->reportedY);
  platform::ShowCursor(true);
  input.pointerShown = 1;
}

void ClampReportedMouse(InputManager& input, const OpenGLRainbows& ctx, int32_t* x, int32_t* y) {
  *x = *y = 0;
  MouseRow* row = CurrentRow(input);
  if (!row) return;
  ScreenToLogical(ctx, row->reportedX, row->reportedY, x, y);
  ClampToLogicalScreen(ctx, x, y);
  LogicalToScreen(ctx, *x, *y, &row->reportedX, &row->reportedY);
}

void ClampToLogicalScreen(const OpenGLRainbows& ctx, int32_t* x, int32_t* y) {
  const bool quarterTurn = ctx.orientation == 1 || ctx.orientation == 3;
  const int32_t width = quarterTurn ? ctx.windowHeight : ctx.windowWidth;
  const int32_t height = quarterTurn ? ctx.windowWidth : ctx.windowHeight;
  *x = std::clamp(*x, 0, std::max(width, 0));
  *y = std::clamp(*y, 0, std::max(height, 0));
}

int32_t JoystickPoll(InputManager& input, platform::JoyState& state, int32_t index) {
  if (input.devicesOpen && index >= 0 && index < input.joystickCount) {
    platform::ReadJoystick(index, &state);
  } else {
    std::memset(&state, 0, sizeof state);
  }
  return 1;
}

void HatDirection(uint32_t pov, int32_t* x, int32_t* y) {
  *x = *y = 0;
  switch (pov) {
    case 0: *y = -1; return;
    case 4500: *x = 1; *y = -1; return;
    case 9000: *x = 1; return;
    case 13500: *x = 1; *y = 1; return;
    case 18000: *y = 1; return;
    case 22500: *x = -1; *y = 1; return;
    case 27000: *x = -1; return;
    case 31500: *x = -1; *y = -1; return;
    default: return;
  }
}

ConstantForceParams ConstantForceFor(float duration, float x, float y) {
  const double cx = std::clamp<double>(x, -1.0, 1.0);
  const double cy = std::clamp<double>(y, -1.0, 1.0);
  ConstantForceParams params;
  // The longest length is the platform's "forever"; a NaN duration plays nothing.
  params.lengthMs = std::isnan(duration) ? 0 : static_cast<uint32_t>(std::clamp<double>(
                                                   duration, 0.0, UINT32_MAX));
  params.dirX = std::clamp(TruncToI32(cx * 32767), -32767, 32767);
  params.dirY = std::clamp(TruncToI32(cy * 32767), -32767, 32767);
  params.magnitude = std::clamp(TruncToI32((cx * cx + cy * cy) * 10000 * 0.5), 0, 10000);
  return params;
}

void JoystickStartForce(InputManager& input, int32_t index, uint32_t iterations, float duration,
                        float x, float y) {
  if (!input.devicesOpen || index < 0 || index >= input.joystickCount) return;
  if (!platform::JoystickHasForce(index)) return;
  platform::ResetForce(index);
  const ConstantForceParams force = ConstantForceFor(duration, x, y);
  platform::ConstantForce(index, iterations, force.lengthMs, force.dirX, force.dirY,
                          force.magnitude);
}

std::string InputJoystickName(const InputManager& input, int32_t index) {
  if (index < 0 || index >= input.joystickCount) return "";
  return input.joystickNames[index];
}

int32_t InputJoystickCount(const InputManager& input) { return input.joystickCount; }

int32_t InputMouseCount() { return 1; }

void SetCurrentMouse(InputManager& input, int32_t) {
  input.currentMouse = 0;
  if (input.mice.empty()) input.mice.emplace_back();
}

void PushTypedChar(TypedCharQueue& queue, uint8_t c) {
  if (c == 0) return;
  if (c == 13) c = 10;
  if (c < 32 && c != 8 && c != 9 && c != 10) return;
  if (queue.pending.size() >= kMaxTypedChars) return;
  queue.pending.push_back(c);
}

void PushTypedChar(uint8_t c) {
  if (InputObject) PushTypedChar(InputObject->typedChars, c);
}

int32_t PopTypedChar(TypedCharQueue& queue) {
  if (queue.pending.empty()) return 0;
  const uint8_t c = queue.pending.front();
  queue.pending.erase(queue.pending.begin());
  return static_cast<int8_t>(c);
}

bool AnyKeyHit(TypedCharQueue& queue) {
  if (queue.pending.empty()) return false;
  return PopTypedChar(queue) != 0;
}

int32_t KeyToAscii(InputManager&, int32_t scanCode) {
  switch (scanCode) {
    case 14: return 8;
    case 28:
    case 156: return 10;
    case 29: case 42: case 54: case 56: case 58: case 69: case 221: return 0;
    default: break;
  }
  int32_t c = platform::KeyCharacter(scanCode);
  if (c >= 1 && c <= 31 && c != 8 && c != 10) c = 0;
  return static_cast<int8_t>(c);
}
