// Debugger output over /proc/self/status, QRN_DEBUG_OUTPUT and an in-process capture sink.
#include "platform/debug_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

DebugCaptureSink& CaptureSink() {
  static DebugCaptureSink sink;
  return sink;
}

bool TracerAttached() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (!status) return false;
  char line[256];
  bool traced = false;
  while (std::fgets(line, sizeof line, status)) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) {
      traced = std::atoi(line + 10) != 0;
      break;
    }
  }
  std::fclose(status);
  return traced;
}

void WriteAll(int fd, std::string_view text) {
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n <= 0) return;
    p += n;
    left -= static_cast<size_t>(n);
  }
}

}  // namespace

bool DebuggerAttached() {
  return CaptureSink() || std::getenv("QRN_DEBUG_OUTPUT") != nullptr || TracerAttached();
}

void DebuggerWrite(std::string_view text) {
  if (CaptureSink()) {
    CaptureSink()(text);
    return;
  }
  const char* target = std::getenv("QRN_DEBUG_OUTPUT");
  if (!target || std::strcmp(target, "stderr") == 0 || *target == 0) {
    WriteAll(STDERR_FILENO, text);
    return;
  }
  int fd = ::open(target, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  WriteAll(fd, text);
  ::close(fd);
}

void SetDebugCaptureSink(DebugCaptureSink sink) { CaptureSink() = std::move(sink); }

}  // namespace platform
