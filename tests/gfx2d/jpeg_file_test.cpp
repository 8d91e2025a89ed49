#include "gfx2d/jpeg_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

// After <cstdio>: libjpeg's header uses FILE without declaring it.
#include <jpeglib.h>

#include "gfx2d/sprite_store.h"
#include "system/debug_log.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/memory_file.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

// A smooth picture (JPEG keeps it within a few levels), stored B, G, R, A as the writer takes it.
std::string GradientBgra(int32_t width, int32_t height) {
  std::string pixels;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      pixels += char(x * 4);
      pixels += char(y * 4);
      pixels += char(128);
      pixels += char(255);
    }
  }
  return pixels;
}

std::string SavedJpeg(const TempDir& dir, const std::string& bgra, int32_t w, int32_t h) {
  const std::string path = dir.Child("out.jpg");
  EXPECT_TRUE(JpegSave(path.c_str(), reinterpret_cast<const uint8_t*>(bgra.data()), w, h));
  return path;
}

TEST(JpegWriter, WritesJfifWithTheQuality80Tables) {
  TempDir dir;
  const std::string jpeg = TempDir::ReadBytes(SavedJpeg(dir, GradientBgra(16, 16), 16, 16));
  EXPECT_EQ(
      jpeg.substr(0, 20),
      std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20));
  // The first quantisation table (luminance, zig-zag order) after the marker, length and id.
  const size_t table = jpeg.find("\xFF\xDB");
  ASSERT_NE(table, std::string::npos);
  EXPECT_EQ(jpeg.substr(table + 5, 8), "\x06\x04\x05\x06\x05\x04\x06\x06");
}

TEST(JpegReader, DecodesWhatTheWriterWroteWithinJpegLoss) {
  TempDir dir;
  const int32_t w = 40, h = 30;
  const std::string bgra = GradientBgra(w, h);
  ScopedImage image;
  ASSERT_TRUE(LoadJpegImage(image.image, SavedJpeg(dir, bgra, w, h).c_str()));
  ASSERT_EQ(image.image.width, w);
  ASSERT_EQ(image.image.height, h);
  EXPECT_EQ(image.image.hasAlpha, 0);
  const std::string rgba = image.Pixels();
  int largest = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      largest = std::max(largest, std::abs(uint8_t(rgba[i + c]) - uint8_t(bgra[i + 2 - c])));
    }
    EXPECT_EQ(uint8_t(rgba[i + 3]), 255);
  }
  EXPECT_LE(largest, 16);  // chroma kept at half resolution and upsampled without smoothing
}

// A file of the given components, written here through the library as another program would.
void WriteJpeg(const std::string& path, int32_t width, int32_t height, int components,
               J_COLOR_SPACE space, bool progressive = false, bool arithmetic = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  info.arith_code = arithmetic;
  jpeg_start_compress(&info, TRUE);
  std::string row(size_t(width) * size_t(components), char(200));
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row.data())};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

TEST(JpegReader, GreyFileLoadsAsGreyRgb) {
  TempDir dir;
  const std::string path = dir.Child("grey.jpg");
  WriteJpeg(path, 9, 5, 1, JCS_GRAYSCALE);
  ScopedImage image;
  image.image.hasAlpha = 1;
  ASSERT_TRUE(LoadJpegImage(image.image, path.c_str()));
  EXPECT_EQ(image.image.hasAlpha, 0);
  const std::string pixels = image.Pixels();
  for (size_t i = 0; i < pixels.size(); i += 4) {
    EXPECT_NEAR(uint8_t(pixels[i]), 200, 1);
    EXPECT_EQ(pixels[i + 1], pixels[i]);
    EXPECT_EQ(pixels[i + 2], pixels[i]);
    EXPECT_EQ(uint8_t(pixels[i + 3]), 255);
  }
}

// A few hundred bytes declaring 16384 x 16384: data that end before the picture does fail, and
// the library's memory is held to the file's size, so neither form costs much.
TEST(JpegReader, SmallFilesDeclaringHugePicturesCostLittle) {
  TempDir dir;
  const std::string path = dir.Child("huge.jpg");
  for (const bool progressive : {false, true}) {
    WriteJpeg(path, 16, 16, 3, JCS_RGB, progressive);
    std::string jpeg = TempDir::ReadBytes(path);
    const size_t frame = jpeg.find(progressive ? "\xFF\xC2" : "\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    jpeg.replace(frame + 5, 4, std::string("\x40\x00\x40\x00", 4));
    TempDir::WriteBytes(path, jpeg);
    ScopedImage image;
    bool loaded = true;
    EXPECT_LT(PeakMemoryGrowth([&] { loaded = LoadJpegImage(image.image, path.c_str()); }),
              16 << 20);
    EXPECT_FALSE(loaded) << progressive;
  }
}

// A grey progressive file with arithmetic coding, changed by `edit`, read keeping no pixel. Its
// data may end anywhere: the library decodes the rest from zero bits without a complaint.
bool ReadsEditedArithmeticJpeg(const std::function<void(std::string&)>& edit) {
  TempDir dir;
  const std::string path = dir.Child("arithmetic.jpg");
  WriteJpeg(path, 16, 16, 1, JCS_GRAYSCALE, true, true);
  std::string jpeg = TempDir::ReadBytes(path);
  edit(jpeg);
  TempDir::WriteBytes(path, jpeg);
  ScopedImage image;
  ImagePart nothing{0, 0};
  return LoadJpegImage(image.image, path.c_str(), kAnyImageSide, &nothing);
}

// 4096 x 4096 declared in a few hundred bytes would have the library hold 32 MB of coefficients.
TEST(JpegReader, TheLibrarysMemoryIsHeldToTheFilesSize) {
  EXPECT_TRUE(ReadsEditedArithmeticJpeg([](std::string&) {}));
  EXPECT_FALSE(ReadsEditedArithmeticJpeg([](std::string& jpeg) {
    jpeg.replace(jpeg.find("\xFF\xCA") + 5, 4, std::string("\x10\x00\x10\x00", 4));
  }));
}

// Every scan walks the whole picture, and one without data costs only its header.
TEST(JpegReader, AFileOfEndlessScansIsRefused) {
  const auto withScans = [](int extra) {
    return [extra](std::string& jpeg) {
      const size_t last = jpeg.rfind("\xFF\xDA");
      const std::string header =
          jpeg.substr(last, 2 + (uint8_t(jpeg[last + 2]) << 8 | uint8_t(jpeg[last + 3])));
      for (int i = 0; i < extra; ++i) jpeg.insert(jpeg.size() - 2, header);
    };
  };
  EXPECT_TRUE(ReadsEditedArithmeticJpeg(withScans(20)));
  EXPECT_FALSE(ReadsEditedArithmeticJpeg(withScans(300)));
}

TEST(JpegReader, TwoChannelFileIsRefusedWithALogLine) {
  TempDir dir(true);
  const std::string path = dir.Child("two.jpg");
  WriteJpeg(path, 4, 4, 2, JCS_UNKNOWN);
  ScopedImage image;
  EXPECT_FALSE(LoadJpegImage(image.image, path.c_str()));
  EXPECT_EQ(TempDir::ReadBytes(ErrorLogPath()), "JPEG: Channels: 2 not supported!\n");
}

TEST(JpegReader, MemoryFilesAndFoldersAreNotRead) {
  TempDir dir;
  const std::string jpeg = TempDir::ReadBytes(SavedJpeg(dir, GradientBgra(8, 8), 8, 8));
  MemoryFile memory(jpeg);
  ScopedImage image;
  EXPECT_FALSE(LoadJpegImage(image.image, memory.name.c_str()));
  EXPECT_FALSE(LoadJpegImage(image.image, dir.path.c_str()));
  EXPECT_FALSE(LoadJpegImage(image.image, dir.Child("missing.jpg").c_str()));
}

TEST(JpegWriter, RefusesMemoryNamesAndFailedWrites) {
  TempDir dir;
  const std::string bgra = GradientBgra(64, 64);
  const auto* pixels = reinterpret_cast<const uint8_t*>(bgra.data());
  EXPECT_FALSE(JpegSave("mem://      10.       1", pixels, 64, 64));
  EXPECT_FALSE(JpegSave(dir.Child("no/folder.jpg").c_str(), pixels, 64, 64));
  FileSizeLimit limit(200);
  EXPECT_FALSE(JpegSave(dir.Child("cut.jpg").c_str(), pixels, 64, 64));
}

// What the sprite loader's chain meets in practice: each must fail and the process go on, with
// the libraries' complaints in the debug log, never on the user's terminal.
TEST(ImageLoaderChain, RejectsNonImagesAndDamagedFilesWithoutEndingTheProcess) {
  TempDir dir(true);
  const std::string png = TempDir::ReadBytes(TestData("pngsuite/basn2c08.png"));
  const std::string jpeg = TempDir::ReadBytes(SavedJpeg(dir, GradientBgra(64, 64), 64, 64));
  std::string corrupt = jpeg;
  const size_t frame = corrupt.find("\xFF\xC0");  // start of frame: sample precision 0
  ASSERT_NE(frame, std::string::npos);
  corrupt[frame + 4] = 0;
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"text.png", "Just some words in a file.\n"},
      {"empty.bmp", ""},
      {"truncated.png", png.substr(0, png.size() / 2)},
      {"truncated.jpg", jpeg.substr(0, jpeg.size() / 2)},
      {"corrupt.jpg", corrupt},
      {"gif.gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;"},
  };
  testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Child(c.name);
    TempDir::WriteBytes(path, c.bytes);
    ScopedImage image;
    EXPECT_FALSE(LoadAnyImage(image.image, path.c_str(), kNoTransparentColour));
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  const std::string log = TempDir::ReadBytes(ErrorLogPath());
  EXPECT_NE(log.find("libjpeg: Not a JPEG file: starts with 0x4a 0x75\n"), std::string::npos) << log;
  EXPECT_NE(log.find("libpng error: "), std::string::npos) << log;
  ScopedImage image;
  EXPECT_TRUE(LoadAnyImage(image.image, SavedJpeg(dir, GradientBgra(4, 4), 4, 4).c_str(), -1));
}

// Each reader keeps the top-left of the picture it is asked for, plain or interlaced, bottom-up or
// top-down, and notes the picture's size; a part of nothing still reads the file.
TEST(ImageLoaderChain, KeepsOnlyTheAskedPartOfEachFormat) {
  TempDir dir;
  const std::string files[] = {
      TestData("pngsuite/basn2c08.png"),      TestData("pngsuite/basi2c08.png"),
      TestData("pngsuite/basi0g01.png"),      TestData("pngsuite/basi6a08.png"),
      TestData("bmpsuite/g/rgb24.bmp"),       TestData("bmpsuite/g/pal8topdown.bmp"),
      TestData("bmpsuite/g/pal1.bmp"),        SavedJpeg(dir, GradientBgra(37, 23), 37, 23)};
  const std::pair<int32_t, int32_t> keeps[] = {{5, 3}, {0, 0}, {INT32_MAX, 2}, {1, INT32_MAX}};
  for (const std::string& file : files) {
    ScopedImage whole;
    ASSERT_TRUE(ReadImageFile(whole.image, file.c_str(), kNoTransparentColour, kAnyImageSide));
    const int32_t width = whole.image.width, height = whole.image.height;
    for (auto [keepWidth, keepHeight] : keeps) {
      SCOPED_TRACE(file + " " + std::to_string(keepWidth) + " x " + std::to_string(keepHeight));
      ImagePart part{keepWidth, keepHeight};
      ScopedImage kept;
      ASSERT_TRUE(ReadImageFile(kept.image, file.c_str(), kNoTransparentColour, kAnyImageSide,
                                &part));
      EXPECT_EQ(std::make_pair(part.pictureWidth, part.pictureHeight),
                std::make_pair(width, height));
      ASSERT_EQ(kept.image.width, keepHeight ? std::min(width, keepWidth) : 0);
      ASSERT_EQ(kept.image.height, keepWidth ? std::min(height, keepHeight) : 0);
      for (int32_t y = 0; y < kept.image.height; ++y)
        ASSERT_EQ(kept.Pixels().substr(size_t(y) * kept.image.width * 4, kept.image.width * 4),
                  whole.Pixels().substr(size_t(y) * width * 4, kept.image.width * 4));
    }
  }
}

}  // namespace
