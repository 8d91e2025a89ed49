// The sprite table and its textures, read back from GL.
#include "gfx2d/sprite_store.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "gfx2d/image_save.h"
#include "gfx2d/texture_upload.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Px(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return std::string{char(r), char(g), char(b), char(a)};
}

// The image placed as the texture should hold it: bottom row first, lower-left, zero padding.
std::vector<uint8_t> FlippedPadded(const RgbaImage& image, int32_t paddedW, int32_t paddedH) {
  std::vector<uint8_t> texels(size_t(paddedW) * paddedH * 4, 0);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      for (int c = 0; c < 4; ++c) {
        texels[(size_t(image.height - 1 - y) * paddedW + x) * 4 + c] =
            image.pixels[(size_t(y) * image.width + x) * 4 + c];
      }
    }
  }
  return texels;
}

class SpriteStoreTest : public GlFixture {
 protected:
  void TearDown() override {
    for (int32_t sprite : {0, 10, 65502, 65503}) FreeSprite(Context(), sprite);
  }
};

TEST_F(SpriteStoreTest, FreeIdsAreSearchedFromTheTopOfTheProgramRange) {
  OpenGLRainbows& ctx = Context();
  EXPECT_EQ(FindFreeSprite(ctx), 65503);
  ScopedImage one(1, 1, Px(1, 2, 3, 255));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 65503, one.image, -1, false));
  EXPECT_EQ(FindFreeSprite(ctx), 65502);
  FreeSprite(ctx, 65503);
  EXPECT_EQ(FindFreeSprite(ctx), 65503);
  EXPECT_EQ(ctx.sprites[65503].texture, 0u);
}

TEST_F(SpriteStoreTest, IdsOutsideTheTableMakeAndTouchNothing) {
  OpenGLRainbows& ctx = Context();
  ScopedImage one(1, 1, Px(1, 2, 3, 255));
  for (int32_t sprite : {-1, kSpriteCount, 1 << 30}) {
    EXPECT_FALSE(CreateSpriteFromImage(ctx, sprite, one.image, -1, false));
    EXPECT_FALSE(LoadSpriteFile(ctx, sprite, "x.bmp", -1, false));
    FreeSprite(ctx, sprite);
    int32_t w = 9, h = 9;
    GetSpriteSize(ctx, sprite, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
  }
}

TEST_F(SpriteStoreTest, UploadHoldsTheImageFlippedAtTheLowerLeftOfAPaddedTexture) {
  OpenGLRainbows& ctx = Context();
  ScopedImage image(3, 2,
                    Px(1, 2, 3, 255) + Px(4, 5, 6, 255) + Px(7, 8, 9, 0) +  //
                        Px(10, 11, 12, 255) + Px(13, 14, 15, 128) + Px(16, 17, 18, 255));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 10, image.image, -1, false));
  EXPECT_EQ(gltest::TextureLevel(ctx.sprites[10].texture, 0), FlippedPadded(image.image, 16, 16));
  int32_t w = 0, h = 0;
  GetSpriteSize(ctx, 10, &w, &h);
  EXPECT_EQ(w * 10 + h, 32);
}

TEST_F(SpriteStoreTest, ColourKeyedBmpTexelsCarryTheBledMeansWithAlphaZero) {
  OpenGLRainbows& ctx = Context();
  const std::string key = Px(255, 0, 128, 0);
  const std::string a = Px(30, 60, 90, 255), b = Px(90, 30, 60, 255);
  ScopedImage drawn(
      4, 4,
      key + key + key + key + key + a + b + key + key + key + key + key + key + key + key + key);
  TempDir folder;
  const std::string name = folder.Child("keyed.bmp");
  ASSERT_TRUE(SaveBmpImage(name.c_str(), drawn.image));
  ASSERT_TRUE(LoadSpriteFile(ctx, 0, name.c_str(), 0x8000FF, false));

  const std::string A = Px(30, 60, 90, 0), B = Px(90, 30, 60, 0), M = Px(60, 45, 75, 0);
  const std::string black = Px(0, 0, 0, 0);
  ScopedImage bled(4, 4,
                   A + M + M + B + A + a + b + B + A + M + M + B +  //
                       black + black + black + black);
  EXPECT_EQ(gltest::TextureLevel(ctx.sprites[0].texture, 0), FlippedPadded(bled.image, 16, 16));
}

TEST_F(SpriteStoreTest, LoadingWithoutAReadableFileLeavesTheSpriteFree) {
  OpenGLRainbows& ctx = Context();
  ScopedImage one(1, 1, Px(1, 2, 3, 255));
  for (const char* name : {"", "/nonexistent/picture.png"}) {
    ASSERT_TRUE(CreateSpriteFromImage(ctx, 0, one.image, -1, false));
    EXPECT_FALSE(LoadSpriteFile(ctx, 0, name, -1, false));
    EXPECT_EQ(ctx.sprites[0].width, 0);
    EXPECT_EQ(ctx.sprites[0].texture, 0u);
  }
}

void PutBigEndian(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = char(value >> (24 - 8 * i));
}

// Files of a few hundred bytes declaring 4096 x 61696 pixels, and a gigabyte of nothing: each
// is refused without room being made for what it declares.
TEST_F(SpriteStoreTest, OversizedAndNonImageFilesAreRefusedFromTheirHeaders) {
  TempDir dir;
  ScopedImage small(8, 8, std::string(8 * 8 * 4, '\x40'));
  std::vector<std::string> names;
  for (const char* name : {"tall.jpg", "tall.png", "tall.bmp"}) {
    names.push_back(dir.Child(name));
    ASSERT_TRUE(SaveImage(names.back().c_str(), small.image));
    std::string bytes = TempDir::ReadBytes(names.back());
    const size_t frame = bytes.find("\xFF\xC0");  // marker, length, precision, height, width
    if (bytes[0] == '\xFF') PutBigEndian(bytes, frame + 5, 61696u << 16 | 4096u);
    if (bytes[1] == 'P') PutBigEndian(bytes, 16, 4096), PutBigEndian(bytes, 20, 61696);
    if (bytes[1] == 'P')
      PutBigEndian(bytes, 29, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(&bytes[12]), 17)));
    if (bytes[0] == 'B') bytes.replace(18, 8, std::string("\0\x10\0\0\0\xF1\0\0", 8));
    TempDir::WriteBytes(names.back(), bytes);
  }
  names.push_back(dir.Child("junk"));
  TempDir::WriteBytes(names.back(), "");
  std::filesystem::resize_file(names.back(), uint64_t(1) << 30);
  for (const std::string& name : names) {
    bool loaded = true;
    const int64_t growth =
        PeakMemoryGrowth([&] { loaded = LoadSpriteFile(Context(), 0, name.c_str(), -1, false); });
    EXPECT_FALSE(loaded) << name;
    EXPECT_LT(growth, 64 << 20) << name;
  }
}

TEST(MipReduction, FourByFourLevelOfXPlusFourY) {
  std::vector<uint8_t> level(16 * 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      for (int c = 0; c < 4; ++c) level[(y * 4 + x) * 4 + c] = uint8_t(x + 4 * y);
  std::vector<uint8_t> two(4 * 4), one(4);
  ReduceMipLevel(level.data(), 4, two.data());
  ReduceMipLevel(two.data(), 2, one.data());
  const uint8_t expected[] = {3, 4, 8, 10};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(two[i * 4], expected[i]) << i;
  EXPECT_EQ(one[0], 3);
}

TEST_F(SpriteStoreTest, MipChainOfASeventeenBySixteenImage) {
  OpenGLRainbows& ctx = Context();
  std::string pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 17; ++x)
      pixels += Px(uint8_t(x * 15), uint8_t(y * 16), uint8_t(x * y), 255);
  ScopedImage image(17, 16, pixels);
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 10, image.image, -1, false));
  const SpriteRecord& record = ctx.sprites[10];
  EXPECT_EQ(record.paddedWidth, 32);
  EXPECT_EQ(record.paddedHeight, 16);

  // Level 0: the 32 x 16 texture with its column pairs averaged.
  const std::vector<uint8_t> padded = FlippedPadded(image.image, 32, 16);
  std::vector<uint8_t> expected(16 * 16 * 4);
  for (size_t i = 0; i < expected.size(); ++i) {
    const size_t pixel = i / 4, row = pixel / 16, column = pixel % 16, c = i % 4;
    expected[i] = uint8_t(
        (padded[(row * 32 + column * 2) * 4 + c] + padded[(row * 32 + column * 2 + 1) * 4 + c]) >>
        1);
  }
  int32_t size = 16;
  for (int32_t level = 0; level <= 4; ++level, size /= 2) {
    int32_t actual[2];
    EXPECT_EQ(gltest::TextureLevel(record.mipmappedTexture, level, actual), expected) << level;
    EXPECT_EQ(actual[0], size);
    EXPECT_EQ(actual[1], size);
    if (size == 1) break;
    std::vector<uint8_t> next(size_t(size / 2) * (size / 2) * 4);
    ReduceMipLevel(expected.data(), size, next.data());  // its arithmetic: MipReduction
    expected = std::move(next);
  }
}

TEST(PixelPasses, BleedCountsOnlyInnerOpaqueNeighbours) {
  const std::string key = Px(255, 0, 128, 0), c = Px(30, 60, 90, 255);
  ScopedImage centre(3, 3, key + key + key + key + c + key + key + key + key);
  BleedTransparentPixels(centre.image);
  const std::string bledKey = Px(30, 60, 90, 0);
  EXPECT_EQ(centre.Pixels(),
            bledKey + bledKey + bledKey + bledKey + c + bledKey + bledKey + bledKey + bledKey);
  // A ring lies on the border, so the key pixel in its middle has nothing to take.
  ScopedImage ring(3, 3, c + c + c + c + key + c + c + c + c);
  BleedTransparentPixels(ring.image);
  EXPECT_EQ(ring.Pixels(), c + c + c + c + Px(0, 0, 0, 0) + c + c + c + c);
}

TEST(PixelPasses, NormalMapOfAFlatImagePointsStraightOut) {
  ScopedImage flat(2, 2,
                   Px(9, 9, 200, 7) + Px(9, 9, 200, 255) + Px(9, 9, 200, 0) + Px(9, 9, 200, 1));
  MakeNormalMap(flat.image);
  EXPECT_EQ(flat.Pixels(), Px(127, 127, 255, 7) + Px(127, 127, 255, 255) + Px(127, 127, 255, 0) +
                               Px(127, 127, 255, 1));
}

}  // namespace
