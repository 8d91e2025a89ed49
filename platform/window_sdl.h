// Inside the platform layer only: the SDL window under a layer window, for the input code that
// must address it (cursor warps). Null for a null window.
#pragma once

struct SDL_Window;

namespace platform {

struct Window;
SDL_Window* SdlWindowOf(Window* window);

}  // namespace platform
