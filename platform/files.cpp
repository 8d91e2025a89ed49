// POSIX open, read, write, lseek, rename and readlink behind the runtime's file helpers.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/file_system.h"

namespace platform {
namespace {

constexpr mode_t kSharedFileMode = 0666;  // narrowed by the umask, as the runtime's files are

int OpenOsPath(const std::string& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Opens a runtime name with the given flags; -1 with ENAMETOOLONG for a name over the limit.
int OpenName(std::string_view name, int flags, mode_t mode = 0) {
  std::string path;
  if (!ToOsPath(name, path)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  return OpenOsPath(path, flags, mode);
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

// What new content keeps of a file's mode: all but the set-user-id and set-group-id bits, which
// would lend the writer's bytes the owner's rights.
constexpr mode_t kModeKeptForNewContent = 01777;

std::atomic<bool> unnamedReplacements{true};

int CreateExclusive(const std::string& path, mode_t mode) {
  return OpenOsPath(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
}

// "" for a name without a folder, else the folder with its closing '/'.
std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

std::string OpenableFolder(const std::string& folder) { return folder.empty() ? "." : folder; }

constexpr std::string_view kSiblingPrefix = ".qrn";
constexpr std::string_view kSiblingSuffix = ".tmp";

// Tries short names of its own beside target (the target's name may already be as long as a name
// can be) until `take` takes one: the process id and a counter keep it apart from other writers,
// and a name an ended process of the same id left behind is passed over. False when `take` fails
// for another reason than a name in use, errno telling why.
template <typename Take>
bool TakeSiblingName(const std::string& target, std::string& sibling, Take take) {
  constexpr int kMaxTries = 100;
  static std::atomic<uint32_t> counter{0};
  const std::string folder = FolderOf(target);
  for (int tries = 0; tries < kMaxTries; ++tries) {
    sibling = folder + std::string(kSiblingPrefix) + std::to_string(::getpid()) + "." +
              std::to_string(++counter) + std::string(kSiblingSuffix);
    if (take(sibling)) return true;
    if (errno != EEXIST) break;
  }
  sibling.clear();
  return false;
}

int CreateSibling(const std::string& target, std::string& sibling) {
  const mode_t mode = CreationModeFor(target);
  int fd = -1;
  TakeSiblingName(target, sibling, [&fd, mode](const std::string& name) {
    fd = CreateExclusive(name, mode);
    return fd >= 0;
  });
  return fd;
}

// A new file without a name in target's folder, so that a process killed while writing leaves
// nothing behind; -1 where the file system has no such files or /proc cannot name it later.
int CreateUnnamed(const std::string& target) {
  if (!unnamedReplacements || ::access("/proc/self/fd", X_OK) != 0) return -1;
  const std::string folder = OpenableFolder(FolderOf(target));
  return OpenOsPath(folder, O_TMPFILE | O_WRONLY, CreationModeFor(target));
}

// The unnamed file gets a sibling's name only once it is written whole, for rename to move.
bool NameUnnamed(int fd, const std::string& target, std::string& sibling) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return TakeSiblingName(target, sibling, [&self](const std::string& name) {
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
}

// A decimal number as this code writes one: digits only, no leading zero, within int.
bool ParseCount(std::string_view text, int& value) {
  if (text.empty() || text[0] == '0') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value > 0;
}

// The process a sibling name was made by; 0 for a name of any other pattern.
pid_t SiblingOwner(std::string_view name) {
  if (!name.starts_with(kSiblingPrefix) || !name.ends_with(kSiblingSuffix)) return 0;
  name = name.substr(kSiblingPrefix.size(),
                     name.size() - kSiblingPrefix.size() - kSiblingSuffix.size());
  const size_t dot = name.find('.');
  int pid = 0;
  int number = 0;
  if (dot == std::string_view::npos || !ParseCount(name.substr(0, dot), pid) ||
      !ParseCount(name.substr(dot + 1), number)) {
    return 0;
  }
  return pid_t(pid);
}

// A process of another user answers EPERM and counts as running.
bool HasEnded(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Siblings beside target that saves of processes no longer running left (killed before their
// rename); a running process's, this one's own and any other name stay.
void RemoveLeftSiblings(const std::string& target) {
  DIR* folder = ::opendir(OpenableFolder(FolderOf(target)).c_str());
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder)) {
    const pid_t owner = SiblingOwner(entry->d_name);
    struct stat info {};
    if (owner > 0 && HasEnded(owner) &&
        ::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode)) {
      ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
  }
  ::closedir(folder);
}

bool IsPipeDeviceOrSocket(const struct stat& info) {
  return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode) && !S_ISLNK(info.st_mode);
}

// A name that leads to a pipe, a device or a socket: a rename would put a plain file in its place.
bool IsSpecialFile(const std::string& target) {
  struct stat info {};
  return ::stat(target.c_str(), &info) == 0 && IsPipeDeviceOrSocket(info);
}

// Failures of a new entry or a rename in the target's folder that leave the target itself
// writable: a folder the user may not change, a file bound over its name, a sticky folder's file
// of another owner.
bool RefusedByTheFolder(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

// New content in a regular file drops the set-id bits before its first byte.
void DropSetIdBits(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 06000) != 0) {
    ::fchmod(fd, info.st_mode & kModeKeptForNewContent);
  }
}

// The target written in place, as a plain fopen(name, "wb") writes it; the target was already
// followed through its links.
int OpenInPlace(const std::string& target) {
  const int fd = OpenOsPath(target, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, kSharedFileMode);
  if (fd >= 0) DropSetIdBits(fd);
  return fd;
}

bool BeginInPlace(Replacement& replacement) {
  replacement.inPlace = true;
  replacement.fd = OpenInPlace(replacement.target);
  return replacement.fd >= 0;
}

// A file without a name in the temporary folder (or one whose name is gone at once); -1 when
// that folder cannot hold one either.
int CreateStaging() {
  const std::string folder = TempFolder();
  int fd = OpenOsPath(folder, O_TMPFILE | O_RDWR, 0600);
  if (fd >= 0) return fd;
  std::string name;
  TakeSiblingName(folder, name, [&fd](const std::string& candidate) {
    fd = OpenOsPath(candidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    return fd >= 0;
  });
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

// An existing file the folder will not replace: the new bytes wait in a staging file, and the
// target, opened now so that a file the user may not write fails before any work, loses its old
// content only when they are whole. Without a staging file it is written in place at once.
bool BeginStaged(Replacement& replacement) {
  const int target = OpenOsPath(replacement.target, O_WRONLY | O_NOFOLLOW);
  const int staging = target >= 0 ? CreateStaging() : -1;
  if (staging < 0) {
    CloseDescriptor(target);
    return BeginInPlace(replacement);
  }
  replacement.fd = staging;
  replacement.stagedFor = target;
  return true;
}

// Only a regular file has bytes to make durable: fsync refuses pipes and some devices.
bool CloseWritten(int fd) {
  struct stat info {};
  bool done = fd >= 0 && ::fstat(fd, &info) == 0;
  if (done && S_ISREG(info.st_mode)) done = ::fsync(fd) == 0;
  return ::close(fd) == 0 && done;
}

bool CopyAll(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    const int64_t n = ReadFull(from, buffer, sizeof buffer);
    if (n <= 0) return n == 0;
    if (!WriteFull(to, buffer, size_t(n))) return false;
  }
}

// The staged bytes become the target's content; both descriptors are closed.
bool CopyStaged(int staging, int target) {
  bool copied = ::lseek(staging, 0, SEEK_SET) == 0 && ::ftruncate(target, 0) == 0;
  if (copied) DropSetIdBits(target);
  copied = copied && CopyAll(staging, target);
  ::close(staging);
  return CloseWritten(target) && copied;
}

// The written sibling's bytes go into the target itself where the folder refuses the rename.
bool CopyInPlace(const std::string& sibling, const std::string& target) {
  const int from = OpenOsPath(sibling, O_RDONLY);
  if (from < 0) return false;
  const int to = OpenInPlace(target);
  const bool copied = to >= 0 && CopyAll(from, to);
  ::close(from);
  return to >= 0 && CloseWritten(to) && copied;
}

// The file a path leads to: each symbolic link on the last step replaced by what it names (a
// relative target counts from the link's folder), as far as the system itself follows links.
std::string LinkTarget(std::string path) {
  constexpr int kMaxLinks = 40;
  for (int links = 0; links < kMaxLinks; ++links) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 || size_t(n) >= sizeof target) return path;
    path = target[0] == '/' ? std::string(target, size_t(n))
                            : FolderOf(path) + std::string(target, size_t(n));
  }
  return path;
}

// The replaced file's permission bits go to its successor, and its owner when the system lets
// this user give the file away (otherwise the new file stays the user's own).
void TakeOverOwnerAndMode(int fd, const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  if (::fchown(fd, info.st_uid, info.st_gid) != 0) errno = 0;
  ::fchmod(fd, info.st_mode & kModeKeptForNewContent);
}

// The caller reports why the write failed: the clean-up must not change errno. An empty name
// (an unnamed file, or none at all) has nothing to remove.
void RemoveKeepingErrno(const std::string& temporary) {
  if (temporary.empty()) return;
  const int error = errno;
  ::unlink(temporary.c_str());
  errno = error;
}

// Makes the written bytes durable, and names an unnamed file so that rename can move it.
bool CloseNamed(int fd, Replacement& replacement) {
  bool done = ::fsync(fd) == 0;
  if (done && replacement.temporary.empty()) {
    done = NameUnnamed(fd, replacement.target, replacement.temporary);
  }
  done = ::close(fd) == 0 && done;
  if (!done) RemoveKeepingErrno(replacement.temporary);
  return done;
}

// The new file takes the target's place: renamed over it, or copied into it where the folder
// refuses the rename. A folder of the target's name goes first.
bool MoveIntoPlace(const Replacement& replacement) {
  const char* target = replacement.target.c_str();
  struct stat info {};
  if (::lstat(target, &info) == 0 && S_ISDIR(info.st_mode)) ::rmdir(target);
  if (::rename(replacement.temporary.c_str(), target) == 0) return true;
  const bool copied =
      RefusedByTheFolder(errno) && CopyInPlace(replacement.temporary, replacement.target);
  RemoveKeepingErrno(replacement.temporary);
  return copied;
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
  // A pipe or a device is opened as it is (a socket refuses): removing it would take it from
  // everyone else, and as root that could be the system's own /dev/null.
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && IsPipeDeviceOrSocket(info)) {
    return OpenOsPath(path, O_RDWR | O_NOFOLLOW);
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

bool BeginReplacement(std::string_view name, Replacement& replacement) {
  std::string path;
  if (!ToOsPath(name, path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  replacement.target = LinkTarget(path);
  replacement.temporary.clear();
  replacement.inPlace = false;
  replacement.stagedFor = -1;
  if (IsSpecialFile(replacement.target)) return BeginInPlace(replacement);
  replacement.fd = CreateUnnamed(replacement.target);
  if (replacement.fd < 0) replacement.fd = CreateSibling(replacement.target, replacement.temporary);
  if (replacement.fd < 0) return RefusedByTheFolder(errno) && BeginStaged(replacement);
  // Before the first byte is written: the group that may read the target is the one that may
  // read its successor.
  TakeOverOwnerAndMode(replacement.fd, replacement.target);
  return true;
}

bool CommitReplacement(Replacement& replacement) {
  const int fd = std::exchange(replacement.fd, -1);
  bool done;
  if (replacement.stagedFor >= 0) {
    done = CopyStaged(fd, std::exchange(replacement.stagedFor, -1));
  } else if (replacement.inPlace) {
    done = CloseWritten(fd);
  } else {
    done = CloseNamed(fd, replacement) && MoveIntoPlace(replacement);
  }
  if (done) RemoveLeftSiblings(replacement.target);
  return done;
}

void AbandonReplacement(Replacement& replacement) {
  const int error = errno;
  CloseDescriptor(std::exchange(replacement.fd, -1));
  CloseDescriptor(std::exchange(replacement.stagedFor, -1));
  errno = error;
  RemoveKeepingErrno(replacement.temporary);
}

void UseUnnamedReplacements(bool use) { unnamedReplacements = use; }

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
