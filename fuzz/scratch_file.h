// For targets whose reader takes disk files only: one scratch file per fuzzing process, made
// under TMPDIR (else /tmp) and unlinked at once, so no run leaves it behind, not even one that
// ends in a crash or a timeout. Readers open it through its descriptor's name in /proc/self/fd.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"

struct ScratchFile {
  int fd;
  std::string path;
};

// Ends the process when the file cannot be made.
inline const ScratchFile& TheScratchFile() {
  static const ScratchFile file = [] {
    std::string pattern = platform::TempFolder() + "qrn_fuzz_XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0 || unlink(pattern.c_str()) != 0) std::abort();
    return ScratchFile{fd, "/proc/self/fd/" + std::to_string(fd)};
  }();
  return file;
}

// The input as the scratch file's whole content; ends the process when it cannot be written.
inline const std::string& WriteScratchFile(const uint8_t* data, size_t size) {
  const ScratchFile& file = TheScratchFile();
  const bool written = ftruncate(file.fd, 0) == 0 &&
                       platform::SeekDescriptor(file.fd, 0, platform::SeekFrom::Start) == 0 &&
                       platform::WriteFull(file.fd, data, size);
  if (!written) std::abort();
  return file.path;
}
