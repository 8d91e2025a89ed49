// A fresh folder for one test, removed afterwards; optionally the process's TMPDIR meanwhile,
// so the debug log and temporary files of the code under test land there.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

struct TempDir {
  std::filesystem::path path;

  explicit TempDir(bool becomeTmpdir = false) {
    std::random_device random;
    do {
      path = std::filesystem::temp_directory_path() / ("qrn-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path));
    if (becomeTmpdir) {
      if (const char* old = std::getenv("TMPDIR")) previousTmpdir = old;
      setenv("TMPDIR", path.c_str(), 1);
      ownsTmpdir = true;
    }
  }
  ~TempDir() {
    if (ownsTmpdir) {
      if (previousTmpdir) setenv("TMPDIR", previousTmpdir->c_str(), 1);
      else unsetenv("TMPDIR");
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Child(const std::string& name) const { return (path / name).string(); }

  static void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }
  static std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::optional<std::string> previousTmpdir;
  bool ownsTmpdir = false;
};

// A folder of the test's made the current one and then removed, as another program may remove
// it; the current folder before comes back at the end.
struct RemovedCurrentFolder {
  const std::filesystem::path previous = std::filesystem::current_path();
  explicit RemovedCurrentFolder(const TempDir& dir) {
    const std::filesystem::path gone = dir.path / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
  }
  ~RemovedCurrentFolder() { std::filesystem::current_path(previous); }
};
