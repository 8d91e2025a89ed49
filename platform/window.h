// The one graphics window and its OpenGL context: stands in for the Windows window class, the
// window itself and WGL. Backed by SDL2 with an OpenGL compatibility context (never a core
// profile: the runtime draws in immediate mode). What Linux cannot do: there are no pixel-format
// descriptors and no WGL extension string, so the two WGL names the runtime tests are offered in
// PlatformExtensions() when their Linux equivalents work; an extension entry point is only worth
// fetching after its name was found, because SDL answers a pointer for any name. Headless runs
// use SDL's "offscreen" driver; there a message box is never shown. Test seams: a forced window
// failure, GL capability overrides (no BGRA, no framebuffer objects, a smaller maximum texture
// size, no alpha bits) and a swap counter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct Window;
using GlContext = void*;

// The procedure that receives the window's messages; the message dispatch calls it.
using WindowProcedure = intptr_t (*)(Window* window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);
void SetWindowProcedure(WindowProcedure procedure);
WindowProcedure RegisteredWindowProcedure();

// A hidden, not resizable window titled "Quarnel" whose drawable is exactly width x height
// pixels, made for an RGBA8 context with depth 24 and stencil 8; samples > 0 asks for a
// multisampled surface (the request fails here when the driver has no such format).
// Null on failure; LastWindowError() then tells why.
Window* CreateWindow(int width, int height, int samples);
void DestroyWindow(Window* window);
std::string LastWindowError();

// A small id that stays valid as a name after the window is gone (WindowFromId answers null).
uint32_t WindowId(Window* window);
Window* WindowFromId(uint32_t id);
void DrawableSize(Window* window, int* width, int* height);

GlContext CreateGlContext(Window* window);
// A null context releases the current one from the thread.
bool MakeCurrent(Window* window, GlContext context);
void DeleteGlContext(GlContext context);
// The sample count of the surface the context was made for: a window that takes over the
// context must be made with it.
int ContextSamples(GlContext context);

bool SwapBuffers(Window* window);
// The caption, set as Windows-1252 text and read back as UTF-8; "" for a null window.
void SetTitle(Window* window, std::string_view cp1252Title);
std::string Title(Window* window);
void CopyTitle(Window* from, Window* to);
// Shows the window, brings it to the top and asks for the keyboard focus (a window manager may
// refuse the focus).
void ShowAndRaise(Window* window);
void HideWindow(Window* window);
bool WindowShown(Window* window);
// Makes the drawable exactly width x height, keeping the window handle, its title, its shown
// state and the current context with every GL object. A resized surface does not follow under
// every driver (the offscreen one keeps its first size), so a changed size gets a new SDL window
// of the context's format with the current context moved onto it. False, window unchanged, when
// that cannot be done.
bool SetClientSize(Window* window, int width, int height);
// Centres the window in the usable area of its display.
void CentreInWorkArea(Window* window);

// Where a window stands on the desktop. Only this process's windows can be reached: X11 and
// Wayland give no program the placement of another program's windows.
struct WindowPlacement {
  int x = 0, y = 0, width = 0, height = 0;
  bool shown = false;
};
// Calls visit for every window of this process, oldest first, until it answers false; the
// parameter is handed through.
void EnumerateWindows(bool (*visit)(Window* window, void* parameter), void* parameter);
bool GetPlacement(Window* window, WindowPlacement& placement);
// Moves and sizes the window and shows or hides it; false for a null window.
bool SetPlacement(Window* window, const WindowPlacement& placement);
// Whether the first display offers a mode of exactly that size (and colour bits, unless 0).
bool FullscreenModeExists(int width, int height, int bits);
// Switches the display to that size with the window covering it, on top; false when refused.
bool EnterFullscreen(Window* window, int width, int height);
// Back to the desktop's mode, the window bordered and no longer on top.
void LeaveFullscreen(Window* window);
// Failure is normal on some drivers (GLX under Xvfb) and never fatal.
bool SetSwapInterval(int interval);
void* GetProcAddress(const char* name);

// The GL extension string of the current context (with the overrides applied), followed by the
// WGL names whose Linux equivalents work: "WGL_EXT_swap_control" when the swap interval can be
// set, "WGL_ARB_multisample" when GL_ARB_multisample is present. Empty without a context.
std::string ExtensionList();
int MaxTextureSize();
// Alpha bits of the current context's colour buffer (0 without a context).
int AlphaBits();
// The GL renderer string, or "" without a context.
std::string RendererName();

// Desktop size and colour depth as Windows would report it (32 on a 24-bit desktop).
void DesktopMode(int* width, int* height, int* bits);

// Ends the use of the window system once every window is gone (a changed display mode goes back);
// the next window made starts it again.
void ShutdownWindowSystem();
// True when nothing may block for a person: QRN_HEADLESS is set or the video driver is
// "offscreen" or "dummy".
bool Headless();
// A warning box with Windows-1252 text; shown only when not Headless().
void ShowWarningBox(std::string_view title, std::string_view cp1252Text);
std::string Cp1252ToUtf8(std::string_view text);

namespace test {

struct GlOverrides {
  bool noBgra = false;       // drops "GL_EXT_bgra" from ExtensionList()
  int maxTextureSize = 0;    // 0 = the driver's value
  bool noAlphaBits = false;  // AlphaBits() answers 0
  bool noFramebufferObjects = false;  // drops "GL_EXT_framebuffer_object" from ExtensionList()
};
void OverrideGl(const GlOverrides& overrides);
void FailWindowCreation(bool fail);
int SwapCount(Window* window);

}  // namespace test

}  // namespace platform
