#include "gfx2d/png_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/gfx2d/image_test_util.h"
#include "tests/support/memory_file.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Noise(int32_t width, int32_t height) {
  std::string pixels(size_t(width) * height * 4, '\0');
  uint32_t state = 12345;
  for (char& c : pixels) {
    state = state * 1103515245 + 12345;
    c = char(state >> 16);
  }
  return pixels;
}

TEST(PngWriter, WritesEightBitRgbaWithIhdrIdatIend) {
  TempDir dir;
  const int32_t width = 300, height = 200;
  ScopedImage image(width, height, Noise(width, height));
  const std::string path = dir.Child("out.png");
  ASSERT_TRUE(PngSave(path.c_str(), image.image.pixels, width, height));
  const std::string png = TempDir::ReadBytes(path);
  // 300 x 200, 8 bits, RGBA, no interlace; pngcheck walks the chunks (RealClients).
  EXPECT_EQ(png.substr(0, 29),
            std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\x2C\0\0\0\xC8\x08\x06\0\0\0", 29));

  ScopedImage back;
  ASSERT_TRUE(LoadPngImage(back.image, path.c_str(), kNoTransparentColour));
  EXPECT_EQ(back.image.hasAlpha, 1);
  EXPECT_TRUE(back.Pixels() == image.Pixels());
}

TEST(PngWriter, RefusesMemoryNamesEmptyImagesAndUnwritablePlaces) {
  TempDir dir;
  const std::string pixel = "\1\2\3\4";
  const auto* pixels = reinterpret_cast<const uint8_t*>(pixel.data());
  EXPECT_FALSE(PngSave("mem://       4.       1", pixels, 1, 1));
  EXPECT_FALSE(PngSave(dir.Child("empty.png").c_str(), pixels, 0, 1));
  EXPECT_FALSE(PngSave(dir.Child("no/folder.png").c_str(), pixels, 1, 1));
  FileSizeLimit limit(100);
  ScopedImage large(64, 64, Noise(64, 64));
  EXPECT_FALSE(PngSave(dir.Child("cut.png").c_str(), large.image.pixels, 64, 64));
}

// RGB images are keyed and lose has-alpha; RGBA and palette-with-transparency images keep it and
// are never keyed. One image is reused across the loads, so a stale has-alpha would show.
TEST(PngReader, KeysOnlyThreeChannelImagesAndSetsHasAlphaByLayout) {
  struct Case {
    const char* file;
    bool keyed;
    uint8_t hasAlpha;
  };
  const Case cases[] = {
      {"basn2c08", true, 0},   // RGB
      {"basn6a08", false, 1},  // RGBA
      {"basn0g08", false, 0},  // grey
      {"tbbn3p08", false, 1},  // palette + tRNS: expanded to RGBA
      {"basn2c08", true, 0},
  };
  ScopedImage image;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = TestData(std::string("pngsuite/") + c.file + ".png");
    ScopedImage plain;
    ASSERT_TRUE(LoadPngImage(plain.image, path.c_str(), kNoTransparentColour));
    const std::string expected = plain.Pixels();
    // The first pixel's colour as the key.
    const int32_t key = PackedColour(expected[0], expected[1], expected[2]);
    ASSERT_TRUE(LoadPngImage(image.image, path.c_str(), key));
    EXPECT_EQ(image.image.hasAlpha, c.hasAlpha);
    const std::string keyed = image.Pixels();
    ASSERT_EQ(keyed.size(), expected.size());
    size_t cleared = 0;
    for (size_t i = 0; i < keyed.size(); i += 4) {
      const bool keyColour = PackedColour(expected[i], expected[i + 1], expected[i + 2]) == key;
      const bool clear = keyed.compare(i, 4, std::string(4, '\0')) == 0;
      if (c.keyed && keyColour) {
        cleared += clear;
      } else {
        EXPECT_EQ(keyed.substr(i, 4), expected.substr(i, 4));
      }
    }
    EXPECT_EQ(cleared > 0, c.keyed);
  }
}

// A stream cut anywhere fails: a short read is an error, never stale bytes decoded as pixels.
TEST(PngReader, TruncatedAndForeignInputFails) {
  TempDir dir;
  const std::string png = TempDir::ReadBytes(TestData("pngsuite/basn2c08.png"));
  for (size_t keep :
       {size_t(0), size_t(4), size_t(8), size_t(30), png.size() / 2, png.size() - 13}) {
    SCOPED_TRACE(keep);
    MemoryFile cut(png.substr(0, keep));
    const std::string path = dir.Child("cut.png");
    TempDir::WriteBytes(path, png.substr(0, keep));
    ScopedImage image;
    EXPECT_FALSE(LoadPngImage(image.image, cut.name.c_str(), kNoTransparentColour));
    EXPECT_FALSE(LoadPngImage(image.image, path.c_str(), kNoTransparentColour));
  }
  const std::string text = dir.Child("text.png");
  TempDir::WriteBytes(text, "this is not a picture at all");
  ScopedImage image;
  EXPECT_FALSE(LoadPngImage(image.image, text.c_str(), kNoTransparentColour));
  EXPECT_FALSE(LoadPngImage(image.image, dir.path.c_str(), kNoTransparentColour));
  EXPECT_FALSE(LoadPngImage(image.image, "", kNoTransparentColour));
}

// Ancillary chunks are skipped, never held: one declaring gigabytes in a file of a hundred bytes
// costs nothing before the read fails.
TEST(PngReader, AChunkDeclaringGigabytesCostsNothing) {
  TempDir dir;
  const std::string path = dir.Child("splt.png");
  const std::string signatureAndHeader = TempDir::ReadBytes(TestData("pngsuite/basn2c08.png"));
  TempDir::WriteBytes(path, signatureAndHeader.substr(0, 33) + "sssssPLT" + std::string(62, 's'));
  ScopedImage image;
  bool loaded = true;
  EXPECT_LT(PeakMemoryGrowth([&] {
              loaded = LoadPngImage(image.image, path.c_str(), kNoTransparentColour);
            }),
            16 << 20);
  EXPECT_FALSE(loaded);
}

// A memory file loads as the disk file does, and the reader lets go of its input when a load
// ends, whatever the outcome.
TEST(PngReader, ReleasesTheMemoryBlockAfterEveryLoad) {
  const std::string path = TestData("pngsuite/basi3p08.png");
  const std::string png = TempDir::ReadBytes(path);
  ScopedImage fromDisk;
  ASSERT_TRUE(LoadPngImage(fromDisk.image, path.c_str(), kNoTransparentColour));
  const size_t before = LiveMemoryBlockCount();
  for (const std::string& bytes : {png, png.substr(0, png.size() / 2)}) {
    auto* memory = new MemoryFile(bytes);
    ScopedImage image;
    const bool whole = bytes.size() == png.size();
    EXPECT_EQ(LoadPngImage(image.image, memory->name.c_str(), kNoTransparentColour), whole);
    EXPECT_TRUE(!whole || image.Pixels() == fromDisk.Pixels());
    std::weak_ptr<const std::vector<uint8_t>> block = OpenMemoryFileName(memory->name.c_str());
    delete memory;
    EXPECT_TRUE(block.expired());
  }
  EXPECT_EQ(LiveMemoryBlockCount(), before);
}

}  // namespace
