// The main window's procedure: focus changes, closing, typed characters.
#pragma once

#include <cstdint>

#include "platform/window.h"

intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);
