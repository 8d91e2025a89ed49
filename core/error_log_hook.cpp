// The one slot for the debug-log writer.
#include "core/error_log_hook.h"

#include <atomic>

namespace {
std::atomic<ErrorLogHook> installedHook{nullptr};
}  // namespace

void SetErrorLogHook(ErrorLogHook hook) { installedHook = hook; }

void WriteErrorLogHook(const char* text) {
  if (ErrorLogHook hook = installedHook) hook(text);
}
