// Window events, keyboard and mouse: stands in for the Windows message queue of the main window,
// the DirectInput keyboard and mouse and the system cursor. Backed by SDL2's event queue. Every
// read of input state and every PeekMessage first drains SDL's events into this layer's own key
// table, mouse state, active flag and message queue, so state is current when read while the
// messages wait for the frame's pump. What Linux cannot do: there is no per-device mouse (SDL
// merges all mice into one) and no system-wide asynchronous key state; the key table follows only
// events that reached the window. Keys are numbered by physical position in the runtime's own
// key numbers (Escape 1, minus 12, equals 13, ...), whatever the layout. Test seams: injected key,
// text, mouse, focus and close events, which pass through the same intake as real ones (SDL's own
// keyboard and mouse state ignore pushed events; this layer's do not).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

struct Window;

// The message kinds of the main window. The program never sees them.
enum MessageId : uint32_t {
  kMessageActivate = 1,  // wParam 1 when the window became active, 0 when it lost the focus
  kMessageClose,         // the window's close box (lParam 0) or kQuitRequest (SIGINT, SIGTERM)
  kMessageKeyDown,       // wParam the key number, lParam the control character it types or 0
  kMessageKeyUp,         // wParam the key number
  kMessageChar,          // wParam one Windows-1252 character
};

// The lParam of a close message that the system sent rather than the window.
inline constexpr intptr_t kQuitRequest = 1;

struct Message {
  uint32_t id = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Drains SDL's pending events into the layer. Nothing happens before SDL's event system is up.
void PumpEvents();

// The oldest waiting message; with remove it leaves the queue. False when none waits.
bool PeekMessage(Message& message, bool remove);
// A key that types a control character (Return, keypad Enter, Backspace, Tab, Escape,
// Ctrl+letter) queues that character right after the current message: SDL's text events carry
// printable characters only.
void TranslateMessage(const Message& message);
// Hands the message to the registered window procedure; 0 when none is registered.
intptr_t DispatchMessage(Window* window, const Message& message);

// Window events (focus, close) of windows other than this one are dropped; until it is set, and
// for events that name no window, every window's count.
void SetEventWindow(Window* window);

// Whether the main window has the keyboard focus. A driver without focus (offscreen) counts as
// active until an injected focus event says otherwise.
bool WindowActive();

// The key table, 256 bytes indexed by key number, 0x80 = down. Cleared when the focus leaves.
void ReadKeyboard(uint8_t keys[256]);

// The key number of an SDL scan code, 0 for a key without one; and back (0 for none).
int KeyNumberFromScancode(int sdlScancode);
int ScancodeFromKeyNumber(int keyNumber);

// The Windows-1252 character the key types in the current layout, upper case for letters while
// a shift key is down in the key table; 0 when it types none.
int KeyCharacter(int keyNumber);

// One read of the mouse: the last position inside the window (client pixels), the buttons held
// (bit 0 left, 1 right, 2 middle), and the movement and wheel steps summed since the previous
// read, which this read takes.
struct MouseSnapshot {
  int32_t x = 0, y = 0;
  uint32_t buttons = 0;
  int32_t dx = 0, dy = 0;
  int32_t wheel = 0;
};
MouseSnapshot ReadMouse();

// Captured relative movement with the cursor hidden; false when the driver cannot, which
// changes nothing here since movement is summed from motion events either way.
bool SetRelativeMode(bool on);
// What the last SetRelativeMode asked for, whether or not the driver could capture the mouse.
bool RelativeModeWanted();
void ShowCursor(bool show);
bool CursorShown();
// Moves the system cursor to a client point of the window.
void WarpMouse(Window* window, int32_t x, int32_t y);

namespace test {

// Each pushes the SDL event a real device would send.
void InjectKey(int keyNumber, bool down);
void InjectText(std::string_view cp1252);
void InjectMouseMotion(int32_t x, int32_t y, int32_t dx, int32_t dy);
void InjectMouseButton(int button, bool down);  // 0 left, 1 right, 2 middle
void InjectWheel(int32_t steps);
// From the given window, or from no particular window when null.
void InjectFocus(bool active, Window* from = nullptr);
void InjectClose();
// Empties the message queue, the key table and the mouse state; the window counts as active.
void ResetInput();

}  // namespace test

}  // namespace platform
