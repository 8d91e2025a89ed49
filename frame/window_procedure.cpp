#include "frame/window_procedure.h"

#include <string>

#include "core/terminate.h"
#include "core/user_functions.h"
#include "frame/frame_services.h"
#include "platform/input.h"

namespace {

void ShowCaption(platform::Window* window, const char* suffix) {
  const Str& caption = GetCaptionText();
  std::string title(caption.data ? caption.data : "", static_cast<size_t>(StrLength(caption)));
  platform::SetTitle(window, title + suffix);
}

// Losing the focus pauses the program (while automatic pausing is on) and says so in the caption.
void Activate(platform::Window* window, uintptr_t active) {
  if (DebugFlag) return;
  if (active) {
    ShowCaption(window, "");
    SetPauseState(0);
  } else {
    ShowCaption(window, " <pause>");
    SetPauseState(1);
  }
}

}  // namespace

intptr_t MainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
  switch (message) {
    case platform::kMessageActivate:
      Activate(window, wParam);
      break;
    case platform::kMessageClose:
      // Returns only while the program is already ending; the shutdown then removes the window.
      TerminateProgram();
      // A quit request of the system (SIGTERM) still ends a quit routine that waits.
      if (lParam == platform::kQuitRequest) EndNowIfQuitting();
      break;
    default:
      break;
  }
  return 0;
}
