// The system's open and save dialogs: stand in for the common file dialogs. Linux has no such
// service of its own, so the desktop's dialog tools are asked: zenity, else kdialog, found along
// PATH and run as child programs; the chosen path is what they print.
//
// What Linux cannot do: no dialog is shown without a display (neither DISPLAY nor
// WAYLAND_DISPLAY set), when QRN_HEADLESS is set, or when neither tool is installed; the answer
// is then "nothing chosen" at once, so a headless run never blocks. The dialog has no owner
// window.
//
// Test seams: none; tests put a script of the tool's name first on PATH.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileFilter {
  std::string description;
  std::string patterns;  // blank-separated, e.g. "*.png *.bmp"
};

// The chosen path as the tool printed it (without its line end); nothing when the user
// cancelled or no dialog could be shown. open false asks for a name to save under.
std::optional<std::string> ChooseFile(bool open, const std::vector<FileFilter>& filters,
                                      const std::string& folder);

}  // namespace platform
