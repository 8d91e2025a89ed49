// The debug log's append, through the platform's private log open.
#include "system/debug_log.h"

#include <cstring>
#include <string_view>

#include "platform/files.h"

namespace {

constexpr int kOpenTries = 5;

// A memory name is never a file of ours, even when the temporary folder is given as one.
bool IsMemoryName(const std::string& path) { return std::string_view(path).starts_with("mem://"); }

// The log is shared by many processes in "/tmp"; OpenPrivateLog keeps another user's planted
// link from redirecting the appends and keeps the log unreadable to others.
int OpenLog(const std::string& path) {
  return IsMemoryName(path) ? -1 : platform::OpenPrivateLog(path);
}

}  // namespace

std::string ErrorLogPath() { return platform::TempFolder() + "ErrorLog.txt"; }

void ErrorLogWrite(const char* text) {
  std::string path = ErrorLogPath();
  if (!text) text = "NULL";
  for (int attempt = 0; attempt < kOpenTries; ++attempt) {
    int fd = OpenLog(path);
    if (fd < 0) continue;
    // A failed write is not retried: the line is lost, as an unopened log loses it.
    if (*text) platform::WriteFull(fd, text, std::strlen(text));
    platform::CloseDescriptor(fd);
    return;
  }
}

void ErrorLogStartNew() {
  std::string path = ErrorLogPath();
  if (!IsMemoryName(path)) platform::RemoveFileOrFolder(path);
  ErrorLogWrite("Start new log...\n");
}
