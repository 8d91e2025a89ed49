// stat, mkdir, chdir and getcwd behind the file-system queries.
#include "platform/file_system.h"

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

bool ChangeCurrentFolder(std::string_view name) {
  std::string path;
  return ToOsPath(name, path) && ::chdir(path.c_str()) == 0;
}

std::string CurrentFolder() {
  char* text = ::getcwd(nullptr, 0);
  if (!text) return {};
  std::string folder = text;
  std::free(text);
  return folder;
}

}  // namespace platform
