// File-system and environment commands over the platform layer.
#include "system/filesystem_commands.h"

#include <string>

#include "core/last_error.h"
#include "core/str_operators.h"
#include "core/terminate.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "system/file_channels.h"
#include "system/file_commands.h"
#include "system/file_stream.h"

namespace {

Str NewStr(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

}  // namespace

bool FileExists(const Str& path) {
  return platform::KindOfPath(path.data) == platform::PathKind::File;
}

bool DirectoryExists(const Str& path) {
  return platform::KindOfPath(path.data) == platform::PathKind::Folder;
}

int64_t FileSizeOf(const Str& name) {
  ClearLastError();
  FlushFileChannels();
  FileStream stream;
  if (!FileStreamOpen(stream, name.data)) {
    SetLastErrorCode(3);
    return 0;
  }
  return stream.size;
}

int32_t DeletePath(const Str& path) {
  // A file a channel writes to stays: the channel's later writes would go nowhere.
  if (FileHeldByWriteChannel(path.data)) return 0;
  return platform::RemoveFileOrFolder(path.data) ? 1 : 0;
}

bool CreateDir(const Str& path) {
  return platform::MakeFolder(path.data);
}

Str GetCurrentDir() {
  std::string folder = platform::CurrentFolder();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return NewStr(folder);
}

Str GetEnvironment(const Str& name) {
  if (name.length > 0) return NewStr(platform::EnvironmentValue(name.data));
  std::string all;
  for (const std::string& entry : platform::EnvironmentEntries()) all += entry + "\n";
  return NewStr(all);
}

void PutEnvironment(Str& name, const Str& value) {
  StrReserve(name, 1024, true);
  StrAppendCString(name, "=");
  StrAppend(name, value);
  const std::string entry(name.data, name.length);
  const size_t equals = entry.find('=');
  platform::SetEnvironmentValue(entry.substr(0, equals).c_str(), entry.c_str() + equals + 1);
}

int32_t BackslashToSlash(Str& text) {
  for (uint32_t i = 0; i < text.length; ++i) {
    if (text.data[i] == '\\') text.data[i] = '/';
  }
  return int32_t(text.length);
}

void AssertReport(int32_t value) {
  if (value != 0) return;
  Str line;
  CStringConcatInt(line, "Assertion: Value = ", value);
  StrAppendCString(line, "\n");
  DebugOut(line);
  StrRelease(line);
  FatalTerminate(21);
}
