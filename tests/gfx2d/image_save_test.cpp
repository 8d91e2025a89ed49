#include "gfx2d/image_save.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/gfx2d/image_test_util.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SaveImage, ChoosesTheWriterByTheLastFourCharacters) {
  TempDir dir;
  struct Case {
    std::string name;
    std::string magic;
  };
  // Names as long as a folder entry may be are saved too.
  const std::string longest(251, 'n');
  const Case cases[] = {
      {"a.pNg", "\x89PNG"}, {"a.Jpg", "\xFF\xD8"}, {"a.jpeg", "BM"}, {"a", "BM"},
      {"a.png.bmp", "BM"}, {"a_png", "BM"}, {"a.jpg2", "BM"},
      {longest + ".png", "\x89PNG"}, {longest + ".jpg", "\xFF\xD8"}, {longest + ".bmp", "BM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedImage image(2, 1, std::string("\1\2\3\xFF\4\5\6\xFF", 8));
    const std::string path = dir.Child(c.name);
    ASSERT_TRUE(SaveImage(path.c_str(), image.image));
    EXPECT_EQ(TempDir::ReadBytes(path).substr(0, c.magic.size()), c.magic);
  }
}

// The JPEG writer takes B, G, R, A pixels; the dispatch exchanges R and B in the caller's image.
TEST(SaveImage, JpegExchangesRedAndBlueInPlaceAndKeepsTheColours) {
  TempDir dir;
  std::string pixels;
  for (int i = 0; i < 64; ++i) pixels += std::string("\xF0\x20\x10\xFF", 4);
  ScopedImage image(8, 8, pixels);
  const std::string path = dir.Child("red.jpg");
  ASSERT_TRUE(SaveImage(path.c_str(), image.image));
  EXPECT_EQ(image.Pixels().substr(0, 4), std::string("\x10\x20\xF0\xFF", 4));
  ScopedImage back;
  ASSERT_TRUE(LoadJpegImage(back.image, path.c_str()));
  EXPECT_NEAR(uint8_t(back.Pixels()[0]), 0xF0, 4);
  EXPECT_NEAR(uint8_t(back.Pixels()[2]), 0x10, 4);
}

TEST(SaveImage, MemoryNamesFailForEveryFormat) {
  ScopedImage image(1, 1, std::string("\1\2\3\xFF", 4));
  for (const char* name : {"mem://       4.       1", "mem://a.png", "mem://a.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(SaveImage(name, image.image));
  }
}

TEST(RgbaImage, ResizeKeepsTheBufferAndZeroesIt) {
  ScopedImage image(4, 4, std::string(64, '\x7F'));
  uint8_t* buffer = image.image.pixels;
  image.image.hasAlpha = 0;
  ASSERT_TRUE(ResizeImage(image.image, 2, 3));
  EXPECT_EQ(image.image.pixels, buffer);
  EXPECT_EQ(image.image.hasAlpha, 0);  // only a new buffer sets it
  EXPECT_EQ(image.Pixels(), std::string(24, '\0'));
  ASSERT_TRUE(ResizeImage(image.image, 5, 4));
  EXPECT_EQ(image.image.hasAlpha, 1);
  EXPECT_FALSE(ResizeImage(image.image, 40000, 40000));
}

TEST(RgbaImage, DoublingMakesEachPixelATwoByTwoBlock) {
  ScopedImage image(2, 1, std::string("\1\2\3\4\5\6\7\x08", 8));
  ASSERT_TRUE(DoubleImageSize(image.image));
  ASSERT_EQ(image.image.width, 4);
  ASSERT_EQ(image.image.height, 2);
  const std::string row = std::string("\1\2\3\4\1\2\3\4\5\6\7\x08\5\6\7\x08", 16);
  EXPECT_EQ(image.Pixels(), row + row);
}

}  // namespace
