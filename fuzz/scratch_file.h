// For targets whose reader takes disk files only: one scratch file per fuzzing process, under
// TMPDIR (else /tmp), rewritten with each input and removed at exit.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline const std::string& ScratchFilePath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::atexit([] { unlink(ScratchFilePath().c_str()); });
    return std::string(folder && *folder ? folder : "/tmp") + "/qrn_fuzz_" +
           std::to_string(getpid());
  }();
  return path;
}

// The input as the scratch file's whole content; ends the process when it cannot be written.
inline const std::string& WriteScratchFile(const uint8_t* data, size_t size) {
  const std::string& path = ScratchFilePath();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) std::abort();
  return path;
}
