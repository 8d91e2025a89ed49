// The BMP suite corpus against ImageMagick's decoding of the same files, and the questionable and
// bad files, which must each decode or be refused without harm.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gfx2d/bmp_file.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string SuiteFile(const std::string& name) {
  return TestData("bmpsuite/" + name);
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

// Compression and colour masks are never examined: a masked file decodes as its twin with the
// compression field cleared (16-bit words as 5-5-5, 32-bit pixels as B, G, R bytes).
TEST(BmpSuite, MaskedFilesDecodeByTheFixedLayout) {
  const auto decode = [](const std::string& bytes) {
    ScopedImage image;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    return DecodeBmpImage(data, bytes.size(), image.image, kNoTransparentColour) ? image.Pixels()
                                                                                 : "";
  };
  for (const char* name : {"rgb16-565", "rgb16-565pal", "rgb32bf"}) {
    SCOPED_TRACE(name);
    const std::string masked = TempDir::ReadBytes(SuiteFile(std::string("g/") + name + ".bmp"));
    std::string plain = masked;
    plain.replace(30, 4, 4, '\0');
    const std::string ours = decode(masked);
    ASSERT_FALSE(ours.empty());
    EXPECT_TRUE(ours == decode(plain));
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
  int files = 0;
  for (const char* folder : {"q", "b", "x"}) {
    for (const auto& entry : fs::directory_iterator(SuiteFile(folder))) {
      ScopedImage image;
      ++files;
      if (!LoadBmpImage(image.image, entry.path().c_str(), 0x8000FF)) continue;
      EXPECT_GE(int64_t(image.image.capacity), int64_t(image.image.width) * image.image.height * 4)
          << entry.path();
    }
  }
  EXPECT_GT(files, 60);
}

}  // namespace
