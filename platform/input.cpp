// The event intake, keyboard and mouse over SDL2.
#include "platform/input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <map>
#include <string>

#include "platform/window.h"
#include "platform/window_sdl.h"

namespace platform {

namespace {

// SDL scan code and key number of every key the runtime numbers.
struct KeyPair {
  SDL_Scancode scancode;
  uint8_t key;
};
constexpr KeyPair kKeyPairs[] = {
    {SDL_SCANCODE_ESCAPE, 1},       {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},            {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},            {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},            {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},            {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},           {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},      {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},         {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},           {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},           {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},           {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},           {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},           {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27}, {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},       {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},           {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},           {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},           {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},           {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},   {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},       {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},   {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44},           {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},           {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},           {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},           {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},      {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},      {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},        {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},          {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},          {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},          {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},          {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},         {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},  {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},        {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},        {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},     {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},        {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},        {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86}, {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},         {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},      {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183}, {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},      {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},         {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},       {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},        {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},   {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},     {SDL_SCANCODE_LGUI, 219},
    {SDL_SCANCODE_RGUI, 220},       {SDL_SCANCODE_APPLICATION, 221},
};

constexpr int kKeyShiftLeft = 42, kKeyShiftRight = 54, kKeyCtrlLeft = 29, kKeyCtrlRight = 157;

struct InputState {
  std::deque<Message> messages;
  std::array<uint8_t, 256> keys{};
  bool active = true;
  bool textInputStarted = false;
  uint32_t eventWindow = 0;  // WindowId of the main window; 0 takes every window's events
  MouseSnapshot mouse;  // dx, dy and wheel are the sums not yet read
  bool relativeModeWanted = false;
};

InputState& State() {
  static InputState state;
  return state;
}

bool EventsReady() {
  if (SDL_WasInit(SDL_INIT_EVENTS)) return true;
  return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
}

bool KeyHeld(int key) { return (State().keys[key] & 0x80) != 0; }

// The key code of the current layout; SDL's US names until the video system has read the
// keyboard's layout.
SDL_Keycode LayoutKey(SDL_Scancode scancode) {
  const SDL_Keycode code = SDL_GetKeyFromScancode(scancode);
  return code != SDLK_UNKNOWN ? code : SDL_GetKeyFromName(SDL_GetScancodeName(scancode));
}

// The control character a key types, as Windows' key translation would make it.
int ControlCharacter(int key, SDL_Scancode scancode) {
  switch (key) {
    case 28:
    case 156: return 13;
    case 14: return 8;
    case 15: return 9;
    case 1: return 27;
    default: break;
  }
  if (!KeyHeld(kKeyCtrlLeft) && !KeyHeld(kKeyCtrlRight)) return 0;
  const SDL_Keycode code = LayoutKey(scancode);
  return code >= SDLK_a && code <= SDLK_z ? code - SDLK_a + 1 : 0;
}

// A program that polls keys without ever pumping its messages must not grow the queue without
// end; Windows caps a thread's queue the same way.
constexpr size_t kMaxQueuedMessages = 10000;

void Queue(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (State().messages.size() < kMaxQueuedMessages) {
    State().messages.push_back(Message{id, wParam, lParam});
  }
}

void TakeKey(const SDL_KeyboardEvent& event) {
  const bool down = event.type == SDL_KEYDOWN;
  const int key = KeyNumberFromScancode(event.keysym.scancode);
  if (key != 0) State().keys[key] = down ? 0x80 : 0;
  if (down) {
    Queue(kMessageKeyDown, key, ControlCharacter(key, event.keysym.scancode));
  } else {
    Queue(kMessageKeyUp, key, 0);
  }
}

// Windows-1252 byte of a code point, or -1 when it has none.
int Cp1252FromCodePoint(uint32_t code) {
  if ((code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  static const std::map<uint32_t, int> high = [] {
    std::map<uint32_t, int> table;
    for (int byte = 0x80; byte < 0xA0; ++byte) {
      const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
      if (utf8.size() == 3) {
        const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
        table[((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu)] = byte;
      }
    }
    return table;
  }();
  const auto found = high.find(code);
  return found == high.end() ? -1 : found->second;
}

// Decodes UTF-8 text into one character message per Windows-1252 character; code points the
// code page lacks and malformed bytes are dropped.
void TakeText(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    uint32_t code = *p;
    int extra = code < 0x80 ? 0 : (code & 0xE0) == 0xC0 ? 1 : (code & 0xF0) == 0xE0 ? 2
                : (code & 0xF8) == 0xF0 ? 3 : -1;
    ++p;
    if (extra < 0) continue;
    if (extra > 0) code &= 0x3Fu >> extra;
    bool whole = true;
    for (; extra > 0; --extra, ++p) {
      if ((*p & 0xC0) != 0x80) {
        whole = false;
        break;
      }
      code = (code << 6) | (*p & 0x3F);
    }
    const int byte = whole ? Cp1252FromCodePoint(code) : -1;
    if (byte >= 0) Queue(kMessageChar, static_cast<uintptr_t>(byte), 0);
  }
}

void LoseFocus() {
  State().active = false;
  State().keys.fill(0);
  Queue(kMessageActivate, 0, 0);
}

// A window replaced under the main window (a size change) or about to be destroyed (a mode
// change) still reports focus and close; none of that is the main window's.
bool FromAnotherWindow(const SDL_WindowEvent& event) {
  SDL_Window* main = SdlWindowOf(WindowFromId(State().eventWindow));
  return main && event.windowID != 0 && event.windowID != SDL_GetWindowID(main);
}

void TakeWindowEvent(const SDL_WindowEvent& event) {
  if (FromAnotherWindow(event)) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      State().active = true;
      Queue(kMessageActivate, 1, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST: LoseFocus(); break;
    case SDL_WINDOWEVENT_CLOSE: Queue(kMessageClose, 0, 0); break;
    default: break;
  }
}

uint32_t ButtonBit(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    default: return 0;
  }
}

void TakeEvent(const SDL_Event& event) {
  MouseSnapshot& mouse = State().mouse;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: TakeKey(event.key); break;
    case SDL_TEXTINPUT: TakeText(event.text.text); break;
    case SDL_WINDOWEVENT: TakeWindowEvent(event.window); break;
    case SDL_QUIT:
      // Closing the last window sends both a window close and a quit: one close message. A quit
      // alone is the system's request, a signal.
      if (State().messages.empty() || State().messages.back().id != kMessageClose) {
        Queue(kMessageClose, 0, kQuitRequest);
      }
      break;
    case SDL_MOUSEMOTION:
      mouse.x = event.motion.x;
      mouse.y = event.motion.y;
      mouse.dx += event.motion.xrel;
      mouse.dy += event.motion.yrel;
      break;
    case SDL_MOUSEBUTTONDOWN: mouse.buttons |= ButtonBit(event.button.button); break;
    case SDL_MOUSEBUTTONUP: mouse.buttons &= ~ButtonBit(event.button.button); break;
    case SDL_MOUSEWHEEL:
      mouse.wheel += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                     : event.wheel.y;
      break;
    default: break;
  }
}

void Push(SDL_Event& event) {
  if (!EventsReady()) return;
  event.common.timestamp = SDL_GetTicks();
  SDL_PushEvent(&event);
}

}  // namespace

void PumpEvents() {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
  if (!State().textInputStarted && SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_StartTextInput();
    SDL_DisableScreenSaver();
    State().textInputStarted = true;
  }
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    TakeEvent(event);
  }
}

bool PeekMessage(Message& message, bool remove) {
  PumpEvents();
  std::deque<Message>& messages = State().messages;
  if (messages.empty()) return false;
  message = messages.front();
  if (remove) messages.pop_front();
  return true;
}

void TranslateMessage(const Message& message) {
  if (message.id != kMessageKeyDown || message.lParam == 0) return;
  State().messages.push_front(Message{kMessageChar, static_cast<uintptr_t>(message.lParam), 0});
}

intptr_t DispatchMessage(Window* window, const Message& message) {
  const WindowProcedure procedure = RegisteredWindowProcedure();
  return procedure ? procedure(window, message.id, message.wParam, message.lParam) : 0;
}

void SetEventWindow(Window* window) { State().eventWindow = WindowId(window); }

bool WindowActive() {
  PumpEvents();
  return State().active;
}

void ReadKeyboard(uint8_t keys[256]) {
  PumpEvents();
  std::memcpy(keys, State().keys.data(), 256);
}

int KeyNumberFromScancode(int sdlScancode) {
  for (const KeyPair& pair : kKeyPairs) {
    if (pair.scancode == sdlScancode) return pair.key;
  }
  return 0;
}

int ScancodeFromKeyNumber(int keyNumber) {
  for (const KeyPair& pair : kKeyPairs) {
    if (pair.key == keyNumber) return pair.scancode;
  }
  return SDL_SCANCODE_UNKNOWN;
}

int KeyCharacter(int keyNumber) {
  const SDL_Scancode scancode = static_cast<SDL_Scancode>(ScancodeFromKeyNumber(keyNumber));
  if (scancode == SDL_SCANCODE_UNKNOWN) return 0;
  const SDL_Keycode code = LayoutKey(scancode);
  if (code <= 0 || (code & SDLK_SCANCODE_MASK)) return 0;
  if (code < 0x20) return code;
  PumpEvents();
  const bool shift = KeyHeld(kKeyShiftLeft) || KeyHeld(kKeyShiftRight);
  if (shift && code >= SDLK_a && code <= SDLK_z) return code - SDLK_a + 'A';
  return std::max(Cp1252FromCodePoint(static_cast<uint32_t>(code)), 0);
}

MouseSnapshot ReadMouse() {
  PumpEvents();
  MouseSnapshot& mouse = State().mouse;
  const MouseSnapshot read = mouse;
  mouse.dx = mouse.dy = mouse.wheel = 0;
  return read;
}

bool SetRelativeMode(bool on) {
  State().relativeModeWanted = on;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  return SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0;
}

bool RelativeModeWanted() { return State().relativeModeWanted; }

void ShowCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool CursorShown() {
  return !SDL_WasInit(SDL_INIT_VIDEO) || SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void WarpMouse(Window* window, int32_t x, int32_t y) {
  SDL_Window* sdl = SdlWindowOf(window);
  if (sdl) SDL_WarpMouseInWindow(sdl, x, y);
}

namespace test {

void InjectKey(int keyNumber, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = static_cast<SDL_Scancode>(ScancodeFromKeyNumber(keyNumber));
  event.key.keysym.sym = LayoutKey(event.key.keysym.scancode);
  Push(event);
}

void InjectText(std::string_view cp1252) {
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  // One event per character keeps every event within SDL's fixed text size.
  for (size_t at = 0; at < utf8.size();) {
    size_t length = 1;
    while (at + length < utf8.size() && (utf8[at + length] & 0xC0) == 0x80) ++length;
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::memcpy(event.text.text, utf8.data() + at, length);
    Push(event);
    at += length;
  }
}

void InjectMouseMotion(int32_t x, int32_t y, int32_t dx, int32_t dy) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  Push(event);
}

void InjectMouseButton(int button, bool down) {
  static constexpr uint8_t kSdlButtons[3] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
  if (button < 0 || button > 2) return;
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = kSdlButtons[button];
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  Push(event);
}

void InjectWheel(int32_t steps) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = steps;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  Push(event);
}

void InjectFocus(bool active, Window* from) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  if (SDL_Window* sdl = SdlWindowOf(from)) event.window.windowID = SDL_GetWindowID(sdl);
  event.window.event = active ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
  Push(event);
}

void InjectClose() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  Push(event);
}

void ResetInput() {
  PumpEvents();
  State().messages.clear();
  State().keys.fill(0);
  State().mouse = MouseSnapshot{};
  State().active = true;
  State().eventWindow = 0;
}

}  // namespace test

}  // namespace platform
