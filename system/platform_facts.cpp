#include "system/platform_facts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "core/random.h"
#include "core/str.h"
#include "core/str_functions.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "system/timers.h"

namespace {

constexpr const char* kBlanks = " \t\r\n\f\v";
constexpr const char* kDeviceIdFile = "/quarnel.deviceid";
constexpr const char* kUnstoredDeviceId = "FA17ED";
// Far above any identifier this runtime writes; a larger file is no identifier and is replaced.
constexpr int64_t kLargestDeviceIdFile = 4096;
constexpr int kLongestUserDirsLine = 8192;

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs file: a quoted path, "$HOME/" at its start
// standing for the home folder. Lines are read into a fixed buffer: a line longer than any path
// ends the search, however large the file.
std::string DocumentsEntry(const std::string& userDirsFile, const std::string& home) {
  std::ifstream file(userDirsFile);
  char buffer[kLongestUserDirsLine];
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (file.getline(buffer, sizeof buffer)) {
    const std::string line = buffer;
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    return value;
  }
  return {};
}

uint32_t Low15(uint32_t value) { return value & 0x7fffu; }

// Four words of chance and time, each written as its four bytes, low byte first.
std::string NewDeviceId() {
  uint32_t words[4];
  words[0] = (Low15(static_cast<uint32_t>(std::rand())) << 16) | Low15(IsaacNext());
  words[1] = static_cast<uint32_t>(std::time(nullptr));
  words[2] = (Low15(IsaacNext()) << 16) | Low15(static_cast<uint32_t>(std::rand()));
  words[3] = (Low15(IsaacNext()) << 16) +
             static_cast<uint32_t>(static_cast<int64_t>(GetElapsedTime()));
  uint8_t bytes[16];
  for (int w = 0; w < 4; ++w) {
    for (int b = 0; b < 4; ++b) bytes[w * 4 + b] = static_cast<uint8_t>(words[w] >> (8 * b));
  }
  Str hex = BytesToHex(bytes, 16, true);
  std::string text = hex.data;
  StrRelease(hex);
  return text;
}

std::string StoredDeviceId(const std::string& path) {
  if (platform::KindOfPath(path) != platform::PathKind::File) return {};
  int fd = platform::OpenForRead(path);
  if (fd < 0) return {};
  char bytes[kLargestDeviceIdFile];
  const int64_t size = platform::DescriptorSize(fd);
  int64_t got = 0;
  if (size > 0 && size <= kLargestDeviceIdFile) {
    got = platform::ReadFull(fd, bytes, static_cast<size_t>(size));
  }
  platform::CloseDescriptor(fd);
  return Trimmed(std::string(bytes, static_cast<size_t>(std::max<int64_t>(got, 0))));
}

bool StoreDeviceId(const std::string& path, const std::string& id) {
  int fd = platform::ReplaceForWrite(path);
  if (fd < 0) return false;
  bool written = platform::WriteFull(fd, id.data(), id.size());
  return platform::CloseChecked(fd) && written;
}

}  // namespace

std::string DateTimeText(const std::tm& fields) {
  char text[64];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
  return text;
}

std::string DateTimeTextAt(std::time_t time, bool utc) {
  std::tm fields{};
  if (utc) {
    gmtime_r(&time, &fields);
  } else {
    localtime_r(&time, &fields);
  }
  return DateTimeText(fields);
}

std::string DocumentsFolder() {
  std::string home = platform::EnvironmentValue("HOME");
  if (home.empty()) return {};
  std::string config = platform::EnvironmentValue("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::string documents = DocumentsEntry(config + "/user-dirs.dirs", home);
  return documents.empty() ? home + "/Documents" : documents;
}

std::string AppDataFolder() {
  std::string base = platform::EnvironmentValue("XDG_DATA_HOME");
  if (base.empty()) {
    std::string home = platform::EnvironmentValue("HOME");
    if (home.empty()) return {};
    base = home + "/.local/share";
  }
  std::string folder = base + "/Quarnel";
  if (platform::KindOfPath(folder) != platform::PathKind::Folder) {
    platform::MakePrivateFolderPath(folder);
  }
  return folder;
}

std::string DeviceIdText(std::string_view folder) {
  const std::string path = std::string(folder) + kDeviceIdFile;
  std::string stored = StoredDeviceId(path);
  if (!stored.empty()) return stored;
  std::string id = NewDeviceId();
  return StoreDeviceId(path, id) ? id : kUnstoredDeviceId;
}
