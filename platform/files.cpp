// POSIX open, read, write, lseek, rename and readlink behind the runtime's file helpers.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/file_system.h"

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

// The permission bits a file made to replace target is created with: the target's own, so that
// nothing written to it can be read by more users than could read the target.
mode_t CreationModeFor(const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return kSharedFileMode;
  return info.st_mode & 0777;
}

int CreateExclusive(const std::string& path, mode_t mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// A new file beside target under a short name of its own, since the target's name may already be
// as long as a name can be. The process id and a counter keep it apart from other writers; a
// name an ended process of the same id left behind is passed over.
int CreateSibling(const std::string& target, std::string& sibling) {
  constexpr int kMaxTries = 100;
  static std::atomic<uint32_t> counter{0};
  const std::string folder = target.substr(0, target.rfind('/') + 1);
  const mode_t mode = CreationModeFor(target);
  for (int tries = 0; tries < kMaxTries; ++tries) {
    sibling =
        folder + ".qrn" + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
    const int fd = CreateExclusive(sibling, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The file a path leads to: each symbolic link on the last step replaced by what it names (a
// relative target counts from the link's folder), as far as the system itself follows links.
std::string LinkTarget(std::string path) {
  constexpr int kMaxLinks = 40;
  for (int links = 0; links < kMaxLinks; ++links) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 || size_t(n) >= sizeof target) return path;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    path = target[0] == '/' ? std::string(target, size_t(n))
                            : folder + std::string(target, size_t(n));
  }
  return path;
}

// The replaced file's permission bits go to its successor, and its owner when the system lets
// this user give the file away (otherwise the new file stays the user's own).
void TakeOverOwnerAndMode(int fd, const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  if (::fchown(fd, info.st_uid, info.st_gid) != 0) errno = 0;
  ::fchmod(fd, info.st_mode & 07777);
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

// The caller reports why the write failed: the clean-up must not change errno.
static void RemoveTemporaryKeepingErrno(const std::string& temporary) {
  const int error = errno;
  ::unlink(temporary.c_str());
  errno = error;
}

bool BeginReplacement(std::string_view name, Replacement& replacement) {
  std::string path;
  if (!ToOsPath(name, path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  replacement.target = LinkTarget(path);
  replacement.fd = CreateSibling(replacement.target, replacement.temporary);
  if (replacement.fd < 0) return false;
  // Before the first byte is written: the group that may read the target is the one that may
  // read its successor.
  TakeOverOwnerAndMode(replacement.fd, replacement.target);
  return true;
}

bool CommitReplacement(Replacement& replacement) {
  bool done = ::fsync(replacement.fd) == 0;
  // Again, since writing clears the set-user and set-group bits.
  TakeOverOwnerAndMode(replacement.fd, replacement.target);
  done = ::close(replacement.fd) == 0 && done;
  replacement.fd = -1;
  const char* target = replacement.target.c_str();
  struct stat info {};
  if (done && ::lstat(target, &info) == 0 && S_ISDIR(info.st_mode)) ::rmdir(target);
  done = done && ::rename(replacement.temporary.c_str(), target) == 0;
  if (!done) RemoveTemporaryKeepingErrno(replacement.temporary);
  return done;
}

void AbandonReplacement(Replacement& replacement) {
  const int error = errno;
  CloseDescriptor(replacement.fd);
  replacement.fd = -1;
  ::unlink(replacement.temporary.c_str());
  errno = error;
}

bool AtomicRewrite(std::string_view name, std::string_view bytes) {
  return AtomicRewriteWith(name,
                           [bytes](int fd) { return WriteFull(fd, bytes.data(), bytes.size()); });
}

bool AtomicRewriteWith(std::string_view name, const std::function<bool(int fd)>& write) {
  Replacement replacement;
  if (!BeginReplacement(name, replacement)) return false;
  if (write(replacement.fd)) return CommitReplacement(replacement);
  AbandonReplacement(replacement);
  return false;
}

int CreatePrivateFile(std::string_view name) {
  return OpenName(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
}

std::string AbsolutePath(std::string_view name) {
  std::string path;
  if (!ToOsPath(name, path) || path.empty() || path[0] == '/') return path;
  std::string folder = CurrentFolder();
  if (folder.empty()) return {};
  if (folder.back() != '/') folder += '/';
  return folder + path;
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
