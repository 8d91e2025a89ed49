// stat, mkdir, chdir, getcwd and readdir behind the file-system queries.
#include "platform/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"

namespace platform {
namespace {

bool StatName(std::string_view name, struct stat& info) {
  std::string path;
  return ToOsPath(name, path) && ::stat(path.c_str(), &info) == 0;
}

bool EntryIsFolder(DIR* folder, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info {};
  return ::fstatat(::dirfd(folder), entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

PathKind KindOfPath(std::string_view name) {
  struct stat info {};
  if (!StatName(name, info)) return PathKind::Missing;
  return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool IdentityOfDescriptor(int fd, FileIdentity& identity) {
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) return false;
  identity = {uint64_t(info.st_dev), uint64_t(info.st_ino)};
  return true;
}

bool IdentityOfName(std::string_view name, FileIdentity& identity) {
  struct stat info {};
  if (!StatName(name, info)) return false;
  identity = {uint64_t(info.st_dev), uint64_t(info.st_ino)};
  return true;
}

bool MakeFolder(std::string_view name) {
  std::string path;
  return ToOsPath(name, path) && ::mkdir(path.c_str(), 0777) == 0;
}

bool MakePrivateFolderPath(std::string_view name) {
  std::string path;
  if (!ToOsPath(name, path)) return false;
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    ::mkdir(path.substr(0, slash).c_str(), 0700);
  }
  ::mkdir(path.c_str(), 0700);
  return KindOfPath(path) == PathKind::Folder;
}

bool ChangeCurrentFolder(std::string_view name) {
  std::string path;
  return ToOsPath(name, path) && ::chdir(path.c_str()) == 0;
}

bool ReadFolder(std::string_view name, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string path;
  DIR* folder = ToOsPath(name, path) ? ::opendir(path.c_str()) : nullptr;
  if (!folder) return false;
  while (const dirent* entry = ::readdir(folder)) {
    entries.push_back({entry->d_name, EntryIsFolder(folder, *entry)});
  }
  ::closedir(folder);
  return true;
}

std::string CurrentFolder() {
  char* text = ::getcwd(nullptr, 0);
  if (!text) return {};
  std::string folder = text;
  std::free(text);
  return folder;
}

}  // namespace platform
