// The PngSuite corpus: every file decodes to the pixels an independent decoder gave, or is
// refused, as the reader's accepted layouts say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gfx2d/png_file.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/sha256.h"

namespace {

namespace fs = std::filesystem;

// Their decoded layout is grey + alpha, which the reader refuses without a message.
const std::set<std::string> kGreyAlphaFiles = {"basn4a08", "basn4a16", "basi4a08", "basi4a16",
                                               "bgai4a08", "bgai4a16", "bgbn4a08", "bggn4a16",
                                               "tbbn0g04", "tbwn0g16"};

// The SHA-256 of each decodable file's RGBA bytes, as an independent decoder gave them.
std::map<std::string, std::string> ExpectedDigests() {
  std::ifstream in(TestData("pngsuite/decoded-sha256.txt"));
  std::map<std::string, std::string> digests;
  std::string stem, digest;
  while (in >> stem >> digest) digests[stem] = digest;
  return digests;
}

std::vector<fs::path> SuiteFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(TestData("pngsuite"))) {
    if (entry.path().extension() == ".png") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(PngSuite, EveryFileDecodesToItsTwinOrIsRefused) {
  const std::vector<fs::path> files = SuiteFiles();
  ASSERT_GT(files.size(), 170u);
  const std::map<std::string, std::string> digests = ExpectedDigests();
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
    ASSERT_EQ(digests.count(stem), 1u);
    EXPECT_EQ(Sha256Hex(image.Pixels()), digests.at(stem));
    ++decoded;
  }
  EXPECT_EQ(decoded, int(digests.size()));
  EXPECT_EQ(decoded, int(files.size()) - 14 - int(kGreyAlphaFiles.size()));
}

}  // namespace
