// The graphics window and OpenGL context over SDL2 and Mesa.
#include "platform/window.h"
#include "platform/window_sdl.h"

#include <SDL2/SDL.h>
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace platform {

struct Window {
  SDL_Window* sdl = nullptr;
  uint32_t id = 0;
  int swaps = 0;
  int samples = 0;  // the multisample count the surface was made for
};

namespace {

struct WindowState {
  WindowProcedure procedure = nullptr;
  std::map<uint32_t, Window*> windows;
  std::map<GlContext, int> contextSamples;  // each context's surface format, by sample count
  uint32_t nextId = 1;
  std::string lastError;
  bool failCreation = false;
  test::GlOverrides overrides;
  bool swapControl = false;  // whether the current context accepted a swap interval
};

WindowState& State() {
  static WindowState state;
  return state;
}

bool VideoReady() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  State().lastError = SDL_GetError();
  return false;
}

void RequestGlAttributes(int samples) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
}

// Whole-word search, so that "GL_EXT_bgra" never matches a longer name.
bool ListHasWord(const std::string& list, std::string_view word) {
  size_t at = 0;
  while ((at = list.find(word, at)) != std::string::npos) {
    const size_t end = at + word.size();
    if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' ')) return true;
    ++at;
  }
  return false;
}

void RemoveWord(std::string& list, std::string_view word) {
  size_t at = 0;
  while ((at = list.find(word, at)) != std::string::npos) {
    const size_t end = at + word.size();
    if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' ')) {
      list.erase(at, end < list.size() ? word.size() + 1 : word.size());
    } else {
      ++at;
    }
  }
}

// The characters Windows-1252 puts at 0x80-0x9F; 0 where it has none.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

void SetWindowProcedure(WindowProcedure procedure) { State().procedure = procedure; }
WindowProcedure RegisteredWindowProcedure() { return State().procedure; }

Window* CreateWindow(int width, int height, int samples) {
  WindowState& state = State();
  if (state.failCreation) {
    state.lastError = "window creation refused by the test seam";
    return nullptr;
  }
  if (!VideoReady()) return nullptr;
  RequestGlAttributes(samples);
  SDL_Window* sdl = SDL_CreateWindow("Quarnel", 0, 0, width, height,
                                     SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!sdl) {
    state.lastError = SDL_GetError();
    return nullptr;
  }
  Window* window = new Window{sdl, state.nextId++, 0, samples};
  state.windows[window->id] = window;
  return window;
}

void DestroyWindow(Window* window) {
  if (!window) return;
  State().windows.erase(window->id);
  SDL_DestroyWindow(window->sdl);
  delete window;
}

std::string LastWindowError() { return State().lastError; }

uint32_t WindowId(Window* window) { return window ? window->id : 0; }

SDL_Window* SdlWindowOf(Window* window) { return window ? window->sdl : nullptr; }

Window* WindowFromId(uint32_t id) {
  auto found = State().windows.find(id);
  return found == State().windows.end() ? nullptr : found->second;
}

void DrawableSize(Window* window, int* width, int* height) {
  SDL_GL_GetDrawableSize(window->sdl, width, height);
}

GlContext CreateGlContext(Window* window) {
  GlContext context = SDL_GL_CreateContext(window->sdl);
  if (!context) {
    State().lastError = SDL_GetError();
    return nullptr;
  }
  State().swapControl = SDL_GL_SetSwapInterval(0) == 0;
  State().contextSamples[context] = window->samples;
  return context;
}

bool MakeCurrent(Window* window, GlContext context) {
  if (SDL_GL_MakeCurrent(window ? window->sdl : nullptr, context) == 0) return true;
  State().lastError = SDL_GetError();
  return false;
}

void DeleteGlContext(GlContext context) {
  if (!context) return;
  State().contextSamples.erase(context);
  SDL_GL_DeleteContext(context);
}

int ContextSamples(GlContext context) {
  auto found = State().contextSamples.find(context);
  return found == State().contextSamples.end() ? 0 : found->second;
}

bool SwapBuffers(Window* window) {
  if (!window) return false;
  SDL_GL_SwapWindow(window->sdl);
  ++window->swaps;
  return true;
}

void SetTitle(Window* window, std::string_view cp1252Title) {
  if (window) SDL_SetWindowTitle(window->sdl, Cp1252ToUtf8(cp1252Title).c_str());
}

std::string Title(Window* window) {
  return window ? SDL_GetWindowTitle(window->sdl) : std::string();
}

void CopyTitle(Window* from, Window* to) {
  if (from && to) SDL_SetWindowTitle(to->sdl, SDL_GetWindowTitle(from->sdl));
}

void ShowAndRaise(Window* window) {
  if (!window) return;
  SDL_ShowWindow(window->sdl);
  SDL_RaiseWindow(window->sdl);
  SDL_SetWindowInputFocus(window->sdl);
}

void HideWindow(Window* window) {
  if (window) SDL_HideWindow(window->sdl);
}

bool WindowShown(Window* window) {
  return window && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
}

bool SetClientSize(Window* window, int width, int height) {
  if (!window) return false;
  int oldWidth = 0, oldHeight = 0;
  SDL_GL_GetDrawableSize(window->sdl, &oldWidth, &oldHeight);
  if (oldWidth == width && oldHeight == height) return true;
  SDL_GLContext context = SDL_GL_GetCurrentContext();
  RequestGlAttributes(window->samples);
  SDL_Window* replacement = SDL_CreateWindow(SDL_GetWindowTitle(window->sdl), 0, 0, width, height,
                                             SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!replacement) {
    State().lastError = SDL_GetError();
    return false;
  }
  if (context && SDL_GL_MakeCurrent(replacement, context) != 0) {
    State().lastError = SDL_GetError();
    SDL_DestroyWindow(replacement);
    SDL_GL_MakeCurrent(window->sdl, context);
    return false;
  }
  if (WindowShown(window)) SDL_ShowWindow(replacement);
  SDL_DestroyWindow(window->sdl);
  window->sdl = replacement;
  return true;
}

void CentreInWorkArea(Window* window) {
  if (!window) return;
  SDL_Rect area{};
  const int display = SDL_GetWindowDisplayIndex(window->sdl);
  if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &area) != 0) return;
  int width = 0, height = 0;
  SDL_GetWindowSize(window->sdl, &width, &height);
  SDL_SetWindowPosition(window->sdl, area.x + (area.w - width) / 2, area.y + (area.h - height) / 2);
}

void EnumerateWindows(bool (*visit)(Window* window, void* parameter), void* parameter) {
  // Ids grow, so the map's order is the order of making; a copy lets visit close windows.
  std::vector<Window*> windows;
  for (const auto& entry : State().windows) windows.push_back(entry.second);
  for (Window* window : windows) {
    if (!visit(window, parameter)) return;
  }
}

bool GetPlacement(Window* window, WindowPlacement& placement) {
  if (!window) return false;
  SDL_GetWindowPosition(window->sdl, &placement.x, &placement.y);
  SDL_GetWindowSize(window->sdl, &placement.width, &placement.height);
  placement.shown = WindowShown(window);
  return true;
}

bool SetPlacement(Window* window, const WindowPlacement& placement) {
  if (!window) return false;
  SDL_SetWindowPosition(window->sdl, placement.x, placement.y);
  SDL_SetWindowSize(window->sdl, placement.width, placement.height);
  if (placement.shown) {
    SDL_ShowWindow(window->sdl);
  } else {
    SDL_HideWindow(window->sdl);
  }
  return true;
}

bool FullscreenModeExists(int width, int height, int bits) {
  if (!VideoReady()) return false;
  auto fits = [&](const SDL_DisplayMode& mode) {
    const int modeBits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return mode.w == width && mode.h == height && (bits == 0 || modeBits == bits);
  };
  // Some drivers (offscreen) list no real mode but the desktop's.
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && fits(mode)) return true;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    if (SDL_GetDisplayMode(0, i, &mode) == 0 && fits(mode)) return true;
  }
  return false;
}

bool EnterFullscreen(Window* window, int width, int height) {
  if (!window) return false;
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
  mode.w = width;
  mode.h = height;
  if (SDL_SetWindowDisplayMode(window->sdl, &mode) != 0 ||
      SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN) != 0) {
    State().lastError = SDL_GetError();
    return false;
  }
  SDL_SetWindowAlwaysOnTop(window->sdl, SDL_TRUE);
  ShowAndRaise(window);
  return true;
}

void LeaveFullscreen(Window* window) {
  if (!window) return;
  SDL_SetWindowFullscreen(window->sdl, 0);
  SDL_SetWindowAlwaysOnTop(window->sdl, SDL_FALSE);
  SDL_SetWindowBordered(window->sdl, SDL_TRUE);
}

void ShutdownWindowSystem() { SDL_Quit(); }

bool SetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

void* GetProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

std::string ExtensionList() {
  if (!SDL_GL_GetCurrentContext()) return "";
  const char* gl = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string list = gl ? gl : "";
  if (State().overrides.noBgra) RemoveWord(list, "GL_EXT_bgra");
  if (State().overrides.noFramebufferObjects) RemoveWord(list, "GL_EXT_framebuffer_object");
  while (!list.empty() && list.back() == ' ') list.pop_back();
  const bool multisample = ListHasWord(list, "GL_ARB_multisample");
  if (State().swapControl) list += " WGL_EXT_swap_control";
  if (multisample) list += " WGL_ARB_multisample";
  return list;
}

int MaxTextureSize() {
  GLint size = 0;
  if (SDL_GL_GetCurrentContext()) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  const int cap = State().overrides.maxTextureSize;
  return cap > 0 && cap < size ? cap : size;
}

int AlphaBits() {
  if (!SDL_GL_GetCurrentContext() || State().overrides.noAlphaBits) return 0;
  GLint bits = 0;
  glGetIntegerv(GL_ALPHA_BITS, &bits);
  return bits;
}

std::string RendererName() {
  if (!SDL_GL_GetCurrentContext()) return "";
  const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  return name ? name : "";
}

void DesktopMode(int* width, int* height, int* bits) {
  SDL_DisplayMode mode{};
  if (!VideoReady() || SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    *width = *height = *bits = 0;
    return;
  }
  *width = mode.w;
  *height = mode.h;
  *bits = SDL_BYTESPERPIXEL(mode.format) * 8;
}

bool Headless() {
  if (std::getenv("QRN_HEADLESS")) return true;
  const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
  if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void ShowWarningBox(std::string_view title, std::string_view cp1252Text) {
  if (Headless()) return;
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, Cp1252ToUtf8(title).c_str(),
                           Cp1252ToUtf8(cp1252Text).c_str(), nullptr);
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char byte : text) {
    const uint32_t code = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
    if (code != 0 || byte == 0) AppendUtf8(out, code);
  }
  return out;
}

namespace test {

void OverrideGl(const GlOverrides& overrides) { State().overrides = overrides; }
void FailWindowCreation(bool fail) { State().failCreation = fail; }
int SwapCount(Window* window) { return window ? window->swaps : 0; }

}  // namespace test

}  // namespace platform
