// File-system queries and changes beside the file helpers: they stand in for
// GetFileAttributesA, CreateDirectoryA, GetCurrentDirectoryA and SetCurrentDirectoryA, and give
// the identity of an open file, which the runtime needs in place of Windows' exclusive opens.
// Names follow the file helpers' rules (ToOsPath): '\' becomes '/', 1024 bytes or more fail.
//
// What Linux cannot do: nothing is missing here; a current folder longer than 1023 bytes is
// handed out whole (Linux has no such limit).
//
// Test seams: none.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class PathKind { Missing, File, Folder };

// What the name is, after following symbolic links. A name that cannot be examined is Missing.
PathKind KindOfPath(std::string_view name);

// The device and file numbers that say two names or descriptors are one file.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
bool IdentityOfDescriptor(int fd, FileIdentity& identity);
bool IdentityOfName(std::string_view name, FileIdentity& identity);  // follows links

// A new folder (the umask narrows its permissions); false when it exists or cannot be made.
bool MakeFolder(std::string_view name);
// The folder and any missing parents, each new one private to the user (0700); true when the
// folder exists afterwards.
bool MakePrivateFolderPath(std::string_view name);

bool ChangeCurrentFolder(std::string_view name);

// One entry of a folder. A symbolic link counts as what it leads to; a dangling one as a file.
struct FolderEntry {
  std::string name;
  bool isFolder = false;
};
// Every entry of the folder, "." and ".." included, in the file system's order. False (and no
// entries) when the folder cannot be read.
bool ReadFolder(std::string_view name, std::vector<FolderEntry>& entries);

// The current folder without a trailing '/' (the root is "/"); empty when it cannot be read.
std::string CurrentFolder();

}  // namespace platform
