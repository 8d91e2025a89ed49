// Helpers of the image tests: pixels as byte strings, images built from them, the loader chain
// the sprite loader runs, and the corpora beside the repository.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx2d/bmp_file.h"
#include "gfx2d/jpeg_file.h"
#include "gfx2d/png_file.h"
#include "gfx2d/rgba_image.h"

// Releases its image at the end of the test.
struct ScopedImage {
  RgbaImage image;
  ScopedImage() = default;
  ScopedImage(int32_t width, int32_t height, const std::string& rgba) {
    EXPECT_TRUE(ResizeImage(image, width, height));
    EXPECT_EQ(rgba.size(), size_t(width) * size_t(height) * 4);
    std::memcpy(image.pixels, rgba.data(), rgba.size());
  }
  ~ScopedImage() { ReleaseImage(image); }
  ScopedImage(const ScopedImage&) = delete;
  ScopedImage& operator=(const ScopedImage&) = delete;

  std::string Pixels() const {
    return std::string(reinterpret_cast<const char*>(image.pixels),
                       size_t(image.width) * size_t(image.height) * 4);
  }
};

// The readers in the order every loader that takes all three formats tries them.
inline bool LoadAnyImage(RgbaImage& image, const char* name, int32_t transparent) {
  return LoadBmpImage(image, name, transparent) || LoadPngImage(image, name, transparent) ||
         LoadJpegImage(image, name);
}

// A file of the image corpora the repository carries under tests/data.
inline std::string TestData(const std::string& path) {
  return std::string(QRN_SOURCE_DIR) + "/tests/data/" + path;
}

// Standard output of a command; the exit status through status.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int result = pclose(pipe);
  if (status) *status = result;
  return output;
}

// Files written meanwhile cannot grow past the limit: writes beyond it fail (EFBIG) instead of
// raising SIGXFSZ.
struct FileSizeLimit {
  rlimit saved{};
  void (*savedHandler)(int);
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved);
    savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i));
}
