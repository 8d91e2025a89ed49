// The tool's globals at their program-start values with the main program's arrays made, a fresh
// current folder for the files it writes, and headless screens; everything put back afterwards.
// Also strips as the screen shows them and as image files, and numbers typed from a script.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/user_functions.h"
#include "gfx2d/image_save.h"
#include "gfx2d/rgba_image.h"
#include "system/file_commands.h"
#include "tests/support/temp_dir.h"
#include "tool/image_scan.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

class ToolTest : public testing::Test {
 protected:
  TempDir tmp;
  std::filesystem::path previousDir = std::filesystem::current_path();

  void SetUp() override {
    ResetToolStateForTests();
    InitToolGlobals();
    MakeToolArrays();
    ResetToolScreenForTests();
    std::filesystem::current_path(tmp.path);
  }
  void TearDown() override {
    CloseAllFiles();
    SetToolEmptyHook(nullptr);
    ResetUserFunctionsForTests();
    ResetToolScreenForTests();
    ResetToolStateForTests();
    std::filesystem::current_path(previousDir);
  }

  std::string ReadOutput(const std::string& name) { return TempDir::ReadBytes(tmp.Child(name)); }
};

// A strip image as the screen shows it: colours 0x00BBGGRR, pixels the sprite holds transparent
// already black. Tiles are cut the way the drawn quad shows them, the texture repeating past the
// image's edges, so a scan that read beyond the image would find copies of the strip there.
struct StripImage {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  std::vector<uint32_t> block;

  StripImage(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0) {}
  uint32_t& At(int32_t x, int32_t y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }

  TileReader Reader(const ScanAnswers& answers) {
    return [this, answers](double tile) {
      const int32_t columns = ScanLoopCount(answers.width), rows = ScanLoopCount(answers.height);
      const bool vertical = answers.readType != 0;
      block.assign(size_t(columns) * size_t(rows), 0);
      for (int32_t y = 0; y < rows; ++y) {
        for (int32_t x = 0; x < columns; ++x) {
          const int32_t ix = int32_t(vertical ? x : tile * answers.width + x) % width;
          const int32_t iy = int32_t(vertical ? tile * answers.height + y : y) % height;
          block[size_t(y) * size_t(columns) + size_t(x)] = At(ix, iy);
        }
      }
      return block.data();
    };
  }

  void Scan(const ScanAnswers& answers) {
    ApplyTransparentAnswer(answers);
    ScanTilesIntoVoxels(answers, width, height, Reader(answers));
  }
};

inline constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// The two-tile strip of the worked examples: 16 x 8 on black; the 0x8000FF pixel is keyed by the
// loader, so the screen shows it black.
inline StripImage TwoTileStrip() {
  StripImage strip(16, 8);
  strip.At(0, 0) = strip.At(1, 0) = kRed;
  strip.At(7, 7) = kGreen;
  strip.At(8, 0) = kRed;
  strip.At(11, 4) = kBlue;
  return strip;
}

inline ScanAnswers TileAnswers(double width, double height, double layers, double mirror = 0) {
  ScanAnswers answers;
  answers.width = width;
  answers.height = height;
  answers.layers = layers;
  answers.mirror = mirror;
  return answers;
}

// The strip as an image file, BMP for a ".bmp" name: a file without alpha, so the loader's colour
// key alone decides which pixels the sprite holds transparent.
inline bool SaveStripImage(const StripImage& strip, const std::string& path) {
  RgbaImage image;
  bool saved = ResizeImage(image, strip.width, strip.height);
  for (size_t i = 0; saved && i < strip.pixels.size(); ++i) {
    const uint32_t c = strip.pixels[i];
    const uint8_t rgba[4] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 255};
    std::copy(rgba, rgba + 4, image.pixels + i * 4);
  }
  saved = saved && SaveImage(path.c_str(), image);
  ReleaseImage(image);
  return saved;
}

// Numbers typed at the tool's questions, handed out in order; a question past the script gets 0.
struct TypedNumbers {
  static std::vector<double>& Script() {
    static std::vector<double> script;
    return script;
  }
  static size_t& Next() {
    static size_t next = 0;
    return next;
  }
  static void Type(double* value, int32_t, int32_t, int32_t) {
    *value = Next() < Script().size() ? Script()[Next()] : 0;
    ++Next();
  }
  // The tool's screen with only the number question typed from the script.
  static ToolScreen Screen(std::vector<double> script) {
    Script() = std::move(script);
    Next() = 0;
    ToolScreen screen{};
    screen.inputNumber = Type;
    return screen;
  }
};

// The answers as typed at the scan's questions: the colour components only after a custom answer.
inline std::vector<double> TypedScanAnswers(const ScanAnswers& a) {
  if (a.custom == 0) return {a.custom, a.readType, a.width, a.height, a.layers, a.mirror};
  return {a.custom, a.red, a.green, a.blue, a.readType, a.width, a.height, a.layers, a.mirror};
}
