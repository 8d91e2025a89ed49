// The BMP suite corpus against ImageMagick's decoding of the same files, and the questionable and
// bad files, which must each decode or be refused without harm.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx2d/bmp_file.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string SuiteFile(const std::string& name) {
  return SharedData("bmpsuite/" + name);
}

// ImageMagick's RGBA bytes of the file, rows top first. By its full path: a machine may put
// another program of that name earlier on the search path.
std::string ImageMagickPixels(const std::string& file) {
  int status = -1;
  std::string pixels =
      RunCommand("/usr/bin/convert '" + file + "' -depth 8 rgba:- 2>/dev/null", &status);
  EXPECT_EQ(status, 0) << "ImageMagick could not read " << file;
  return pixels;
}

int LargestChannelDifference(const std::string& a, const std::string& b) {
  int largest = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    largest = std::max(largest, std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i]))));
  }
  return largest;
}

std::string Load(const std::string& file) {
  ScopedImage image;
  if (!LoadBmpImage(image.image, file.c_str(), kNoTransparentColour)) return "";
  return image.Pixels();
}

TEST(BmpSuite, GoodFilesMatchImageMagick) {
  const char* exact[] = {"pal1",        "pal1bg",   "pal1wb",    "pal4",          "pal4gs",
                         "pal8",        "pal8-0",   "pal8gs",    "pal8nonsquare", "pal8os2",
                         "pal8topdown", "pal8w124", "pal8w125",  "pal8w126",      "rgb24",
                         "rgb24pal",    "rgb32",    "rgb32bfdef"};
  for (const char* name : exact) {
    SCOPED_TRACE(name);
    const std::string file = SuiteFile(std::string("g/") + name + ".bmp");
    const std::string ours = Load(file);
    ASSERT_FALSE(ours.empty());
    EXPECT_TRUE(ours == ImageMagickPixels(file));
  }
  // Five bits scaled by integer x * 255 / 31; ImageMagick rounds.
  for (const char* name : {"rgb16", "rgb16bfdef"}) {
    SCOPED_TRACE(name);
    const std::string file = SuiteFile(std::string("g/") + name + ".bmp");
    const std::string ours = Load(file);
    const std::string theirs = ImageMagickPixels(file);
    ASSERT_EQ(ours.size(), theirs.size());
    EXPECT_LE(LargestChannelDifference(ours, theirs), 1);
  }
}

// Compression and colour masks are never examined: 16-bit words read as 5-5-5, 32-bit pixels as
// B, G, R bytes, worked out here from the file's own words.
std::string PixelsByTheFixedLayout(const std::string& bytes) {
  const auto word = [&](size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
    return v;
  };
  const uint32_t offset = word(10, 4);
  const int32_t width = int32_t(word(18, 4));
  const int32_t height = int32_t(word(22, 4));
  const uint32_t bits = word(28, 2);
  const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
  std::string pixels;
  for (int32_t y = height - 1; y >= 0; --y) {
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = offset + size_t(y) * stride + size_t(x) * (bits / 8);
      if (bits == 16) {
        const uint32_t v = word(at, 2);
        pixels += char(((v >> 10) & 31) * 255 / 31);
        pixels += char(((v >> 5) & 31) * 255 / 31);
        pixels += char((v & 31) * 255 / 31);
      } else {
        pixels += bytes[at + 2];
        pixels += bytes[at + 1];
        pixels += bytes[at];
      }
      pixels += char(255);
    }
  }
  return pixels;
}

TEST(BmpSuite, MaskedFilesDecodeByTheFixedLayout) {
  for (const char* name : {"rgb16-565", "rgb16-565pal", "rgb32bf"}) {
    SCOPED_TRACE(name);
    const std::string file = SuiteFile(std::string("g/") + name + ".bmp");
    const std::string ours = Load(file);
    ASSERT_FALSE(ours.empty());
    EXPECT_TRUE(ours == PixelsByTheFixedLayout(TempDir::ReadBytes(file)));
  }
}

TEST(BmpSuite, CompressedAndNewerHeaderFilesAreRefused) {
  for (const char* name : {"pal4rle", "pal8rle", "pal8v4", "pal8v5"}) {
    SCOPED_TRACE(name);
    ScopedImage image;
    EXPECT_FALSE(LoadBmpImage(image.image, SuiteFile(std::string("g/") + name + ".bmp").c_str(),
                              kNoTransparentColour));
  }
}

// Either outcome is sound for these; the sanitizer build proves neither reads out of bounds.
TEST(BmpSuite, QuestionableAndBadFilesDecodeOrAreRefusedSafely) {
  std::vector<std::string> refused;
  int files = 0;
  for (const char* folder : {"q", "b", "x"}) {
    for (const auto& entry : fs::directory_iterator(SuiteFile(folder))) {
      ScopedImage image;
      ++files;
      if (LoadBmpImage(image.image, entry.path().c_str(), 0x8000FF)) {
        EXPECT_EQ(size_t(image.image.width) * size_t(image.image.height) * 4,
                  image.Pixels().size());
      } else {
        refused.push_back(std::string(folder) + "/" + entry.path().filename().string());
      }
    }
  }
  EXPECT_GT(files, 60);
  std::sort(refused.begin(), refused.end());
  std::string list;
  for (const std::string& name : refused) list += " " + name;
  RecordProperty("refused", list);
}

}  // namespace
