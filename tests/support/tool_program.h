// The tile2cubes program as a user runs it: a copy of the program and its data files in a fresh
// folder (a copy, since the program works in the folder /proc/self/exe names, which resolves
// links), its answers typed from a script; and strips written as 8-bit RGB PNG files.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

struct Rgb {
  uint8_t r, g, b;
};

// Without alpha, so the loader's colour key decides which pixels are transparent.
inline bool WriteRgbPng(const std::string& path, int width, int height,
                        const std::vector<Rgb>& pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

struct ToolFolder {
  TempDir folder;

  // Another build of the program may stand in (a benchmark's reference), with its data files.
  explicit ToolFolder(const std::string& programFile = QRN_TOOL_PROGRAM) {
    namespace fs = std::filesystem;
    const fs::path program(programFile);
    fs::copy_file(program, folder.path / "tile2cubes");
    for (const char* asset : {"sysfont.png", "blank.png"}) {
      fs::copy_file(program.parent_path() / asset, folder.path / asset);
    }
  }

  // One step a line, as the program's script runner reads them; the environment as
  // RunProgramAt takes it.
  ProgramRun Run(const std::vector<std::string>& script, int timeoutSeconds,
                 std::vector<std::string> environment = {}) const {
    std::string text;
    for (const std::string& step : script) text += step + "\n";
    TempDir::WriteBytes(folder.Child("answers.txt"), text);
    environment.push_back("QRN_INPUT_SCRIPT=" + folder.Child("answers.txt"));
    return RunProgramAt(folder.Child("tile2cubes"), {}, folder, environment, timeoutSeconds);
  }

  std::string Output(const std::string& name) const {
    return TempDir::ReadBytes(folder.Child(name));
  }
};
