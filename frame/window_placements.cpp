#include "frame/window_placements.h"

#include "platform/clock.h"

WindowPlacementListRecord WindowPlacementList;

namespace {

constexpr uint32_t kSecondPassDelayMs = 500;

}  // namespace

void SaveWindowPlacements() {
  WindowPlacementList.count = 0;
  platform::EnumerateWindows(SaveWindowPlacementCallback, nullptr);
}

bool SaveWindowPlacementCallback(platform::Window* window, void*) {
  WindowPlacementListRecord& list = WindowPlacementList;
  if (list.count >= kMostWindowPlacements || !platform::WindowShown(window)) return true;
  WindowPlacementEntry& entry = list.entries[size_t(list.count)];
  if (platform::GetPlacement(window, entry.placement)) {
    entry.window = platform::WindowId(window);
    ++list.count;
  }
  return true;
}

void RestoreWindowPlacementsOnce() {
  for (int32_t i = 0; i < WindowPlacementList.count; ++i) {
    const WindowPlacementEntry& entry = WindowPlacementList.entries[size_t(i)];
    if (platform::Window* window = platform::WindowFromId(entry.window)) {
      platform::SetPlacement(window, entry.placement);
    }
  }
}

void RestoreWindowPlacements() {
  if (WindowPlacementList.count == 0) return;
  RestoreWindowPlacementsOnce();
  platform::SleepMs(kSecondPassDelayMs);
  RestoreWindowPlacementsOnce();
}
