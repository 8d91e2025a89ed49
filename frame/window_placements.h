// The placements of the visible windows, kept to be put back after a fullscreen display mode has
// moved them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/window.h"

inline constexpr int32_t kMostWindowPlacements = 256;

struct WindowPlacementEntry {
  uint32_t window = 0;  // platform::WindowId
  platform::WindowPlacement placement;
};

struct WindowPlacementListRecord {
  std::array<WindowPlacementEntry, kMostWindowPlacements> entries;
  int32_t count = 0;
};
extern WindowPlacementListRecord WindowPlacementList;

// Empties the list, then records every visible window.
void SaveWindowPlacements();
// Records the window when it is visible and the list has room; always true, so that the
// enumeration goes on.
bool SaveWindowPlacementCallback(platform::Window* window, void* parameter);
// Puts each recorded window that still exists back where it was, in the order recorded.
void RestoreWindowPlacementsOnce();
// Twice, 500 ms apart, for windows that a display change moves again late; at once when the list
// is empty.
void RestoreWindowPlacements();
