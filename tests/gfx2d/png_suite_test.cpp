// The PngSuite corpus: every file decodes to its JSON twin or is refused, as the reader's
// accepted layouts say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gfx2d/png_file.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Their decoded layout is grey + alpha, which the reader refuses without a message.
const std::set<std::string> kGreyAlphaFiles = {"basn4a08", "basn4a16", "basi4a08", "basi4a16",
                                               "bgai4a08", "bgai4a16", "bgbn4a08", "bggn4a16",
                                               "tbbn0g04", "tbwn0g16"};

std::vector<int> ReadJsonNumbers(const fs::path& path) {
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  for (char& c : text) {
    if (c == '[' || c == ']' || c == ',') c = ' ';
  }
  std::istringstream numbers(text);
  std::vector<int> values;
  int value;
  while (numbers >> value) values.push_back(value);
  return values;
}

std::vector<fs::path> SuiteFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(SharedData("pngsuite/png"))) {
    if (entry.path().extension() == ".png") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(PngSuite, EveryFileDecodesToItsTwinOrIsRefused) {
  const std::vector<fs::path> files = SuiteFiles();
  ASSERT_GT(files.size(), 170u);
  const fs::path twins = SharedData("pngsuite/json");
  int decoded = 0;
  for (const fs::path& file : files) {
    const std::string stem = file.stem().string();
    SCOPED_TRACE(stem);
    ScopedImage image;
    testing::internal::CaptureStdout();
    const bool loaded = LoadPngImage(image.image, file.c_str(), kNoTransparentColour);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (stem[0] == 'x' || kGreyAlphaFiles.count(stem)) {
      EXPECT_FALSE(loaded);
      EXPECT_EQ(printed, "");
      continue;
    }
    ASSERT_TRUE(loaded);
    // The twin of a 16-bit image holds 16-bit samples; stripping keeps their high bytes.
    const bool sixteenBit = TempDir::ReadBytes(file.string())[24] == 16;  // IHDR bit depth
    std::vector<int> expected = ReadJsonNumbers(twins / (stem + ".json"));
    if (sixteenBit) {
      for (int& v : expected) v >>= 8;
    }
    const std::string pixels = image.Pixels();
    ASSERT_EQ(pixels.size(), expected.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
      mismatches += uint8_t(pixels[i]) != expected[i];
    }
    EXPECT_EQ(mismatches, 0u);
    ++decoded;
  }
  EXPECT_EQ(decoded, int(files.size()) - 14 - int(kGreyAlphaFiles.size()));
}

}  // namespace
