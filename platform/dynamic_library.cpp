#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/files.h"

namespace platform {

namespace {

void* OpenNow(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

std::string ExecutableFolder() {
  std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void* OpenLibrary(const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  if (std::strchr(name, '/') != nullptr) return OpenNow(name);
  std::string folder = ExecutableFolder();
  if (!folder.empty()) {
    if (void* library = OpenNow((folder + name).c_str())) return library;
  }
  return OpenNow(name);
}

void* LibraryEntry(void* library, const char* entryName) {
  if (library == nullptr || entryName == nullptr) return nullptr;
  return dlsym(library, entryName);
}

void CloseLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace platform
