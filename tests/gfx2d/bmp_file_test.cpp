#include "gfx2d/bmp_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/gfx2d/image_test_util.h"
#include "tests/support/memory_file.h"
#include "tests/support/temp_dir.h"

namespace {

// A BMP file: the 12-byte (core) or 40-byte info header, then the palette and the rows given.
struct BmpLayout {
  uint32_t headerSize = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bits = 24;
  std::string palette;
  std::string rows;
  int64_t dataOffset = -1;  // -1: right after the palette
};

std::string BuildBmp(const BmpLayout& layout) {
  std::string file = "BM";
  PutLe(file, 0, 4);
  PutLe(file, 0, 4);
  const int64_t offset =
      layout.dataOffset >= 0 ? layout.dataOffset : 14 + layout.headerSize + layout.palette.size();
  PutLe(file, uint32_t(offset), 4);
  PutLe(file, layout.headerSize, 4);
  const int fieldBytes = layout.headerSize == 12 ? 2 : 4;
  PutLe(file, uint32_t(layout.width), fieldBytes);
  PutLe(file, uint32_t(layout.height), fieldBytes);
  PutLe(file, 1, 2);
  PutLe(file, layout.bits, 2);
  if (layout.headerSize != 12) file.append(layout.headerSize - 16, '\0');
  return file + layout.palette + layout.rows;
}

// Palette entries given as 0xRRGGBB, stored as the two header kinds store them: B, G, R (and a
// reserved byte).
std::string Palette(uint32_t headerSize, std::initializer_list<uint32_t> rgbs) {
  std::string out;
  for (uint32_t rgb : rgbs) {
    out += char(rgb & 0xFF);
    out += char(rgb >> 8);
    out += char(rgb >> 16);
    if (headerSize == 40) out += '\0';
  }
  return out;
}

std::string Px(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return std::string{char(r), char(g), char(b), char(a)};
}

std::string Decode(const std::string& file, int32_t transparent = kNoTransparentColour) {
  ScopedImage image;
  const bool ok = DecodeBmpImage(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                 image.image, transparent);
  if (!ok) return "refused";
  EXPECT_EQ(image.image.hasAlpha, 0);
  return std::to_string(image.image.width) + "x" + std::to_string(image.image.height) + ":" +
         image.Pixels();
}

std::string Sized(int32_t w, int32_t h, const std::string& pixels) {
  return std::to_string(w) + "x" + std::to_string(h) + ":" + pixels;
}

// 2 x 2 palette images whose rows (bottom first) pick entries 1, 0 and 2, 3 of a four-colour
// palette (red, green, blue, white); a 1-bit file has only entries 0 and 1.
TEST(BmpReader, DecodesPaletteDepthsUnderBothHeaders) {
  const std::string red = Px(255, 0, 0), green = Px(0, 255, 0);
  const std::string picked = Sized(2, 2, Px(0, 0, 255) + Px(255, 255, 255) + green + red);
  const std::string rows4("\x10\0\0\0\x23\0\0\0", 8), rows8("\x01\x00\0\0\x02\x03\0\0", 8);
  struct Case {
    uint32_t header;
    uint16_t bits;
    std::string rows, expected;
  };
  const Case cases[] = {
      {40, 1, std::string("\x80\0\0\0\x40\0\0\0", 8), Sized(2, 2, red + green + green + red)},
      {40, 4, rows4, picked},
      {40, 8, rows8, picked},
      {12, 4, rows4, picked},
      {12, 8, rows8, picked},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("header " + std::to_string(c.header) + ", bits " + std::to_string(c.bits));
    std::string palette = Palette(c.header, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    if (c.header == 12) palette.resize(size_t(3) << c.bits, '\0');
    EXPECT_EQ(Decode(BuildBmp({c.header, 2, 2, c.bits, palette, c.rows})), c.expected);
  }
}

TEST(BmpReader, DecodesDirectColourDepths) {
  struct Case {
    const char* what;
    BmpLayout layout;
    std::string expected;
  };
  const Case cases[] = {
      {"16-bit white and the 8,8,8 step",
       {40, 2, 1, 16, "", std::string("\xFF\x7F\x21\x04", 4)},
       Sized(2, 1, Px(255, 255, 255) + Px(8, 8, 8))},
      {"16-bit ignores bit 15",
       {40, 1, 1, 16, "", std::string("\x00\xFC\0\0", 4)},
       Sized(1, 1, Px(255, 0, 0))},
      {"24-bit, width 3: 9 bytes and 3 padding",
       {40, 3, 1, 24, "", "\1\2\3\4\5\6\7\x08\x09xyz"},
       Sized(3, 1, Px(3, 2, 1) + Px(6, 5, 4) + Px(9, 8, 7))},
      {"32-bit ignores the fourth byte",
       {40, 1, 1, 32, "", "\1\2\3\x7F"},
       Sized(1, 1, Px(3, 2, 1))},
      {"12-byte header, 24-bit",
       {12, 1, 2, 24, "", std::string("\1\2\3\0\4\5\6\0", 8)},
       Sized(1, 2, Px(6, 5, 4) + Px(3, 2, 1))},
      {"top-down rows",
       {40, 1, -2, 24, "", std::string("\4\5\6\0\1\2\3\0", 8)},
       Sized(1, 2, Px(6, 5, 4) + Px(3, 2, 1))},
      {"a palette beside direct colour is skipped",
       {40, 1, 1, 24, Palette(40, {0xABCDEF}), std::string("\1\2\3\0", 4)},
       Sized(1, 1, Px(3, 2, 1))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Decode(BuildBmp(c.layout)), c.expected);
  }
}

TEST(BmpReader, TransparentColourClearsMatchingPixels) {
  const std::string rows = std::string("\x80\x00\xFF\x01\x02\x03\0\0", 8);
  EXPECT_EQ(Decode(BuildBmp({40, 2, 1, 24, "", rows}), 0x8000FF),
            Sized(2, 1, Px(0, 0, 0, 0) + Px(3, 2, 1)));
  BmpLayout palette{40, 2, 1, 8, Palette(40, {0x112233, 0x445566}), std::string("\0\1\0\0", 4)};
  EXPECT_EQ(Decode(BuildBmp(palette), 0x332211),
            Sized(2, 1, Px(0, 0, 0, 0) + Px(0x44, 0x55, 0x66)));
}

TEST(BmpReader, IndexPastAShortPaletteReadsBlack) {
  BmpLayout layout{40, 2, 1, 8, Palette(40, {0x0A0B0C}), std::string("\0\xFF\0\0", 4)};
  EXPECT_EQ(Decode(BuildBmp(layout)), Sized(2, 1, Px(0x0A, 0x0B, 0x0C) + Px(0, 0, 0)));
}

TEST(BmpReader, RefusesUnsupportedAndHostileFiles) {
  const std::string row("\1\2\3\0", 4);
  struct Case {
    const char* what;
    std::string file;
  };
  const Case cases[] = {
      {"empty", ""},
      {"not BM", "BX" + BuildBmp({}).substr(2)},
      {"bit count 2", BuildBmp({40, 1, 1, 2, "", row})},
      {"bit count 0", BuildBmp({40, 1, 1, 0, "", row})},
      {"108-byte header", BuildBmp({108, 1, 1, 24, "", row})},
      {"data offset inside the header", BuildBmp({40, 1, 1, 24, "", row, 20})},
      {"1-bit core file whose palette the offset leaves out",
       BuildBmp({12, 1, 1, 1, Palette(12, {0, 0xFFFFFF}), row})},
      {"core file with a palette and 24 bits", BuildBmp({12, 1, 1, 24, std::string(60, 'p'), row})},
      {"width 0", BuildBmp({40, 0, 1, 24, "", row})},
      {"negative width", BuildBmp({40, -1, 1, 24, "", row})},
      {"height 0", BuildBmp({40, 1, 0, 24, "", row})},
      {"height INT_MIN", BuildBmp({40, 1, INT_MIN, 24, "", row})},
      {"rows cut short", BuildBmp({40, 2, 2, 24, "", row + row})},
      {"palette cut short", BuildBmp({40, 1, 1, 8, "", "", 54 + 1024})},
      {"huge dimensions", BuildBmp({40, 0x7FFFFFFF, 0x7FFFFFFF, 1, "", row})},
      {"pixels beyond the record's i32 capacity", BuildBmp({40, 30000, 30000, 1, "", row})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Decode(c.file), "refused");
  }
}

TEST(BmpReader, ReadsDiskAndMemoryFilesAlikeAndFailsShortOnes) {
  TempDir dir;
  const std::string file = BuildBmp({40, 1, 2, 24, "", std::string("\1\2\3\0\4\5\6\0", 8)});
  const std::string path = dir.Child("a.bmp");
  TempDir::WriteBytes(path, file);
  MemoryFile memory(file);
  MemoryFile truncated(file.substr(0, file.size() - 1));
  ScopedImage fromDisk, fromMemory, fromTruncated;
  ASSERT_TRUE(LoadBmpImage(fromDisk.image, path.c_str(), -1));
  ASSERT_TRUE(LoadBmpImage(fromMemory.image, memory.name.c_str(), -1));
  EXPECT_EQ(fromMemory.Pixels(), fromDisk.Pixels());
  EXPECT_FALSE(LoadBmpImage(fromTruncated.image, truncated.name.c_str(), -1));
  EXPECT_FALSE(LoadBmpImage(fromTruncated.image, dir.Child("missing.bmp").c_str(), -1));
  EXPECT_FALSE(LoadBmpImage(fromTruncated.image, dir.path.c_str(), -1));
  EXPECT_FALSE(LoadBmpImage(fromTruncated.image, "", -1));
}

TEST(BmpWriter, WritesTheGoldenFile) {
  TempDir dir;
  ScopedImage image(3, 2,
                    Px(1, 2, 3) + Px(4, 5, 6) + Px(7, 8, 9, 128) +  // top row
                        Px(10, 11, 12) + Px(13, 14, 15) + Px(16, 17, 18));
  const std::string path = dir.Child("golden.bmp");
  ASSERT_TRUE(SaveBmpImage(path.c_str(), image.image));
  const std::string header(
      "\x42\x4D\x4E\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x03\x00\x00\x00"
      "\x02\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x00\x00\x00\x00\x10\x27\x00\x00\x10\x27"
      "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00",
      54);
  const std::string bottom("\x0C\x0B\x0A\x0F\x0E\x0D\x12\x11\x10\0\0\0", 12);
  const std::string top("\x03\x02\x01\x06\x05\x04\x80\x00\xFF\0\0\0", 12);
  EXPECT_EQ(TempDir::ReadBytes(path), header + bottom + top);

  ScopedImage back;
  ASSERT_TRUE(LoadBmpImage(back.image, path.c_str(), 0x8000FF));
  EXPECT_EQ(back.Pixels().substr(8, 4), Px(0, 0, 0, 0));
  EXPECT_EQ(back.Pixels().substr(12), Px(10, 11, 12) + Px(13, 14, 15) + Px(16, 17, 18));
}

TEST(BmpWriter, RefusesMemoryNamesAndUnwritablePlaces) {
  TempDir dir;
  ScopedImage image(1, 1, Px(1, 2, 3));
  EXPECT_FALSE(SaveBmpImage("mem://      10.       1", image.image));
  EXPECT_FALSE(SaveBmpImage(dir.Child("no/such/folder.bmp").c_str(), image.image));
  EXPECT_FALSE(SaveBmpImage("/proc/self/no-such-file.bmp", image.image));
  FileSizeLimit limit(40);
  EXPECT_FALSE(SaveBmpImage(dir.Child("cut.bmp").c_str(), image.image));
}

}  // namespace
