// Collects debugger lines for the lifetime of one test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/debug_output.h"

struct DebugCapture {
  std::vector<std::string> lines;
  DebugCapture() {
    platform::SetDebugCaptureSink([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~DebugCapture() { platform::SetDebugCaptureSink({}); }
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;
};
