// POSIX open, read, write, lseek, rename and readlink behind the runtime's file helpers.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr mode_t kSharedFileMode = 0666;  // narrowed by the umask, as the runtime's files are

// Opens a runtime name with the given flags; -1 with ENAMETOOLONG for a name over the limit.
int OpenName(std::string_view name, int flags, mode_t mode = 0) {
  std::string path;
  if (!ToOsPath(name, path)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool RemoveOsPath(const std::string& path) {
  struct stat info {};
  // A name that cannot be examined is treated as a folder: rmdir then fails harmlessly.
  bool folder = ::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode);
  return (folder ? ::rmdir(path.c_str()) : ::unlink(path.c_str())) == 0;
}

// A sibling of path no other writer uses: the process id and a counter keep it unique here.
std::string SiblingTemporaryName(const std::string& path) {
  static std::atomic<uint32_t> counter{0};
  return path + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(++counter);
}

int CreateExclusive(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                kSharedFileMode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool WriteAndSync(int fd, std::string_view bytes) {
  bool written = WriteFull(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  return ::close(fd) == 0 && written;
}

}  // namespace

bool ToOsPath(std::string_view name, std::string& osPath) {
  name = name.substr(0, name.find('\0'));
  if (name.size() >= kMaxNameBytes) return false;
  osPath.assign(name);
  for (char& c : osPath) {
    if (c == '\\') c = '/';
  }
  return true;
}

int OpenForRead(std::string_view name) {
  // Non-blocking only for the open itself: a named pipe without a writer would wait forever.
  int fd = OpenName(name, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

int ReplaceForWrite(std::string_view name) {
  std::string path;
  if (!ToOsPath(name, path)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  RemoveOsPath(path);
  return OpenName(path, O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW, kSharedFileMode);
}

int OpenForAppend(std::string_view name) {
  int fd = OpenName(name, O_WRONLY | O_CREAT, kSharedFileMode);
  if (fd >= 0 && ::lseek(fd, 0, SEEK_END) < 0) {
    int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

int OpenPrivateLog(std::string_view name) {
  return OpenName(name, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW, 0600);
}

bool RemoveFileOrFolder(std::string_view name) {
  std::string path;
  return ToOsPath(name, path) && RemoveOsPath(path);
}

int64_t ReadFull(int fd, void* buffer, size_t count) {
  char* into = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd, into + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += size_t(n);
  }
  return int64_t(done);
}

bool WriteFull(int fd, const void* bytes, size_t count) {
  const char* from = static_cast<const char*>(bytes);
  while (count > 0) {
    ssize_t n = ::write(fd, from, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    from += n;
    count -= size_t(n);
  }
  return true;
}

int64_t SeekDescriptor(int fd, int64_t offset, SeekFrom from) {
  int whence = from == SeekFrom::Start ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
  return ::lseek(fd, off_t(offset), whence);
}

int64_t DescriptorSize(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? int64_t(info.st_size) : -1;
}

void CloseDescriptor(int fd) {
  if (fd >= 0) ::close(fd);
}

bool CloseChecked(int fd) { return fd >= 0 && ::close(fd) == 0; }

bool AtomicRewrite(std::string_view name, std::string_view bytes) {
  std::string path;
  if (!ToOsPath(name, path)) return false;
  std::string temporary = SiblingTemporaryName(path);
  int fd = CreateExclusive(temporary);
  if (fd < 0) return false;
  if (!WriteAndSync(fd, bytes)) {
    ::unlink(temporary.c_str());
    return false;
  }
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) ::rmdir(path.c_str());
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

std::string TempFolder() {
  const char* variable = std::getenv("TMPDIR");
  std::string folder = variable && *variable ? variable : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string ExecutablePath() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return {};
    if (size_t(n) < path.size()) {
      path.resize(size_t(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace platform
