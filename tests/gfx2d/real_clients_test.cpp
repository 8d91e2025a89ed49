// Other programs read what the writers write: pngcheck validates the PNG chunk by chunk, and
// ImageMagick reads each format with the right size.
#include <gtest/gtest.h>

#include <string>

#include "gfx2d/image_save.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Pattern(int32_t width, int32_t height) {
  std::string pixels;
  for (int32_t i = 0; i < width * height; ++i) {
    pixels += char(i * 7);
    pixels += char(i * 13);
    pixels += char(i * 29);
    pixels += char(i % 3 == 0 ? 128 : 255);
  }
  return pixels;
}

TEST(RealClients, PngcheckPassesOurPng) {
  TempDir dir;
  ScopedImage image(123, 77, Pattern(123, 77));
  const std::string path = dir.Child("check.png");
  ASSERT_TRUE(SaveImage(path.c_str(), image.image));
  int status = -1;
  const std::string report = RunCommand("pngcheck -v '" + path + "' 2>&1", &status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_NE(report.find("No errors detected"), std::string::npos) << report;
}

TEST(RealClients, ImageMagickReadsEveryFormatAtItsSize) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* format;  // as ImageMagick names it: BMP3 is the 40-byte-header BMP
  };
  for (const auto& [name, format] : {Case{"a.bmp", "BMP3"}, {"a.png", "PNG"}, {"a.jpg", "JPEG"}}) {
    SCOPED_TRACE(name);
    ScopedImage image(123, 77, Pattern(123, 77));
    const std::string path = dir.Child(name);
    ASSERT_TRUE(SaveImage(path.c_str(), image.image));
    int status = -1;
    const std::string size = RunCommand("identify -format '%w %h %m' '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << size;
    EXPECT_EQ(size, std::string("123 77 ") + format);
  }
}

}  // namespace
