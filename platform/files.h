// File helpers every reader and writer of the runtime opens files through. They stand in for
// the Windows file calls: CreateFileA with its read, replace, append and open-always modes,
// ReadFile/WriteFile, SetFilePointer, GetFileSize, DeleteFileA/RemoveDirectoryA, GetTempPathA
// and GetModuleFileNameA.
//
// Names: the runtime accepts '\' and '/' alike; here every '\' becomes '/', and the runtime's
// limit of 1023 bytes per name stays (a longer name fails with ENAMETOOLONG, as a missing file
// would for the caller). Names are case-sensitive, as Linux gives them.
//
// What Linux cannot do: Windows opens files with share mode 0 (exclusive); Linux has no such
// mode, so another process may open a file the runtime holds. Linux opens a folder for reading,
// which Windows refuses: OpenForRead refuses it too. Every descriptor is close-on-exec, so
// started programs inherit none.
//
// Test seams: UseUnnamedReplacements; tests point TMPDIR at a folder of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// A name must fit a 1024-byte buffer with its terminator.
inline constexpr size_t kMaxNameBytes = 1024;

// The operating system's form of a runtime name: it ends at its first NUL, and '\' becomes '/'.
// False for a name of kMaxNameBytes bytes or more.
bool ToOsPath(std::string_view name, std::string& osPath);

// Each open answers a descriptor, or -1 with errno set.

// An existing file, read only. A folder is refused (EISDIR). Never waits for a pipe's writer.
int OpenForRead(std::string_view name);

// A new empty file, read and write. Whatever had the name goes first (RemoveFileOrFolder); a
// symbolic link that appears in its place meanwhile is not followed. A pipe or a device under the
// name is opened as it is and stays; a socket is refused (ENXIO).
int ReplaceForWrite(std::string_view name);

// Write only, created when missing, the write point at the end. Not in append mode: a later
// seek moves the write point.
int OpenForAppend(std::string_view name);

// For a log in a folder other users may share: created private (0600), every write lands whole
// at the end, and a symbolic link of that name is never followed (the open fails instead).
int OpenPrivateLog(std::string_view name);

// A folder is removed when it is empty; anything else (a symbolic link included, never its
// target) is deleted. True when the name is gone by this call.
bool RemoveFileOrFolder(std::string_view name);

// Reads until count bytes came or the file ended; answers the bytes read, -1 on an error.
int64_t ReadFull(int fd, void* buffer, size_t count);

// Writes all count bytes; false on an error (some bytes may have been written).
bool WriteFull(int fd, const void* bytes, size_t count);

enum class SeekFrom { Start, Current, End };
// Answers the new offset from the start, -1 on an error.
int64_t SeekDescriptor(int fd, int64_t offset, SeekFrom from);

// The file's size in bytes, -1 on an error.
int64_t DescriptorSize(int fd);

// Closes the descriptor; -1 is ignored.
void CloseDescriptor(int fd);

// Closes a descriptor that was written to; false when the system reports that written data were
// lost (some file systems report a full disk only here).
bool CloseChecked(int fd);

// A file that takes a name's place only once it is written whole: the bytes go to a new file
// beside the one the name leads to (a symbolic link is followed to its target, which is what
// gets replaced), and Commit renames it over that file. The new file has the old one's
// permission bits (never the set-user-id and set-group-id bits) and, where the system allows,
// its owner before anything is written to it. Where the file system offers files without a name
// (O_TMPFILE) the new file has none until Commit, so a process killed meanwhile leaves nothing
// behind; elsewhere it has a short hidden name of its own (".qrn<pid>.<n>.tmp"), so a target
// whose name is as long as a name may be is replaced too, and a later successful save removes
// the names of such files that processes no longer running left beside its target. A folder of
// that name is removed first, as ReplaceForWrite does. Until Commit succeeds the old file stays
// as it was.
//
// In place instead, as a plain fopen(name, "wb") writes: a name that leads to a pipe, a device or
// a socket (which keep what they are), and a file whose folder refuses the new file or the rename
// (a read-only folder, a file bound over its name by a mount, another owner's file in a sticky
// folder). Such a file's new bytes wait in an unnamed file of the temporary folder and are copied
// into it at Commit, so a failed save keeps it as it was; the copy itself is not atomic: readers
// may see it half done, and a process killed during it leaves the target cut short.
struct Replacement {
  int fd = -1;            // the new file, open for writing
  std::string target;     // the file it will replace
  std::string temporary;  // the new file's own name until then, whatever the target's length;
                          // empty while it has none, and when it is written in place
  bool inPlace = false;   // the bytes go straight into the target
  int stagedFor = -1;     // the target, opened at the start and filled from fd at Commit
};
bool BeginReplacement(std::string_view name, Replacement& replacement);
// Makes the written bytes durable and puts the new file in place; false (the new file removed,
// the old one kept, unless a copy into the target failed part way) when any step fails. The
// descriptor is closed either way.
bool CommitReplacement(Replacement& replacement);
// Removes the new file and keeps the old one (a pipe or device keeps what was written to it).
void AbandonReplacement(Replacement& replacement);

// Test seam: false makes every replacement take a named sibling, as on a file system without
// unnamed files. On unless a test turns it off.
void UseUnnamedReplacements(bool use);

// The whole replacement for bytes at hand: false when nothing was replaced.
bool AtomicRewrite(std::string_view name, std::string_view bytes);
// The same for bytes that `write` puts into the new file's descriptor a piece at a time; false
// from it keeps the old file.
bool AtomicRewriteWith(std::string_view name, const std::function<bool(int fd)>& write);

// A new file only this user may read or write, made by this call: a name that exists (also a
// symbolic link someone placed in a shared folder) makes the open fail.
int CreatePrivateFile(std::string_view name);

// The name as a path from the root, taken against the current folder, so it still names the
// same file after the current folder changes; empty when the name is too long, and for a
// relative name when the current folder no longer exists (nothing names it then).
std::string AbsolutePath(std::string_view name);

// $TMPDIR when set and not empty, else "/tmp"; always ending in '/'.
std::string TempFolder();

// The running program's file, read whole from /proc/self/exe; empty when it cannot be read.
std::string ExecutablePath();

}  // namespace platform
