#include "frame/file_dialog.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/process_globals.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_startup.h"
#include "frame/screen_mode_commands.h"
#include "frame/screen_modes.h"
#include "platform/file_system.h"

namespace {

// The dialog's buffers hold 1023 characters and a NUL; the filter also needs its second NUL.
constexpr size_t kFilterLimit = 1022;
constexpr size_t kPathLimit = 1023;

std::string_view NextPart(std::string_view& rest) {
  const size_t bar = rest.find('|');
  const std::string_view part = rest.substr(0, bar);
  rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
  return part;
}

void StepAside() {
  if (GraphicsContext) LeaveFullscreen(*GraphicsContext);
}

void ComeBack() {
  if (!GraphicsContext) return;
  if (ScreenSettings.fullscreen == 0) {
    ApplyWindowMode(*GraphicsContext);
    return;
  }
  ScreenSettings.fullscreen = 1;
  EnterScreenMode(ConfiguredScreenWidth, ConfiguredScreenHeight, 1);
}

Str StrOf(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

}  // namespace

std::vector<platform::FileFilter> ParseFileFilter(std::string_view filter) {
  std::string_view rest = filter.substr(0, std::min(filter.size(), kFilterLimit));
  rest = rest.substr(0, rest.find('\0'));
  std::vector<platform::FileFilter> filters;
  while (!rest.empty()) {
    const std::string_view description = NextPart(rest);
    const std::string_view patterns = NextPart(rest);
    if (description.empty() || patterns.empty()) break;
    std::string blankSeparated(patterns);
    std::replace(blankSeparated.begin(), blankSeparated.end(), ';', ' ');
    filters.push_back({std::string(description), blankSeparated});
  }
  return filters;
}

Str FileDialog(int32_t open, const Str& filter) {
  const std::vector<platform::FileFilter> filters =
      ParseFileFilter(std::string_view(filter.data, filter.length));
  const std::string folder = platform::CurrentFolder();
  StepAside();
  std::optional<std::string> chosen = platform::ChooseFile(open != 0, filters, folder);
  platform::ChangeCurrentFolder(folder);
  ComeBack();
  if (!chosen || chosen->empty() || chosen->size() > kPathLimit) return StrOf("NO_FILE");
  std::replace(chosen->begin(), chosen->end(), '\\', '/');
  return StrOf(*chosen);
}
