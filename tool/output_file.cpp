// Buffered writing of the tool's files and the end of the run on a file it cannot write.
#include "tool/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/terminate.h"
#include "core/str_value.h"
#include "frame/waits.h"
#include "platform/files.h"
#include "tool/tool_screen.h"

namespace {

constexpr size_t kSpillBytes = size_t(1) << 20;
constexpr int32_t kUnwrittenFileError = 3;

}  // namespace

OutputFile::OutputFile(const Str& name) : name_(name.data ? name.data : "") {
  bytes_.reserve(kSpillBytes + kSpillBytes / 4);
  fd_ = platform::ReplaceForWrite(name_);
  if (fd_ < 0) EndOnUnwrittenFile(name_, errno);
}

OutputFile::~OutputFile() {
  platform::CloseDescriptor(fd_);
}

void OutputFile::Spill() {
  if (bytes_.size() >= kSpillBytes) WriteOut();
}

void OutputFile::WriteOut() {
  if (!platform::WriteFull(fd_, bytes_.data(), bytes_.size())) EndOnUnwrittenFile(name_, errno);
  bytes_.clear();
}

void OutputFile::Close() {
  WriteOut();
  const int fd = fd_;
  fd_ = -1;
  if (!platform::CloseChecked(fd)) EndOnUnwrittenFile(name_, errno);
}

void EndOnUnwrittenFile(std::string_view name, int error) {
  const std::string reason = error != 0 ? std::strerror(error) : "the file was not written";
  const std::string message = "Cannot write " + std::string(name) + ": " + reason;
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  // The key that leaves the message may end the run some other way: Escape, say.
  MarkRunFailed();
  PrintToolText(message.c_str(), 0, 0);
  if (CurrentToolScreen().showScreen) {
    CurrentToolScreen().showScreen();
    WaitForKey();
  }
  FatalTerminate(kUnwrittenFileError);
}
