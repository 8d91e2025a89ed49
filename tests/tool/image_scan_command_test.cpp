// The scan as the program runs it: its questions, and strips loaded from files, drawn tile by
// tile and read back from the screen, which must give the cells the headless scan gives.
#include "tool/image_scan_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/str_value.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_store.h"
#include "platform/window.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/peak_memory.h"
#include "tests/support/tool_fixture.h"
#include "tool/scan_tile_drawing.h"
#include "tool/tool_main.h"

namespace {

std::vector<std::string> gAsked;

void RecordText(const Str& text, double, double y) {
  gAsked.push_back(std::string(text.data) + " @" + std::to_string(int(y)));
}
void RecordNumber(double* value, int32_t x, int32_t y, int32_t proportional) {
  gAsked.back() += " number @" + std::to_string(x) + "," + std::to_string(y) + " " +
                   std::to_string(proportional);
  TypedNumbers::Type(value, x, y, proportional);
}

using ScanQuestions = ToolTest;

// The questions asked with the numbers typed, each recorded with its answer's place.
ScanAnswers AskRecorded(std::vector<double> typed) {
  ToolScreen screen = TypedNumbers::Screen(std::move(typed));
  screen.printText = RecordText;
  screen.inputNumber = RecordNumber;
  InstallToolScreen(screen);
  gAsked.clear();
  return AskScanQuestions();
}

TEST_F(ScanQuestions, AreAskedInOrderWithTheColourOnlyAfterACustomAnswer) {
  const ScanAnswers a = AskRecorded({2, 10, 20, 30, 1, 16, 12, 5, 1});
  const std::vector<std::string> asked{"Custom transparent? (black is default) @0 number @0,20 0",
                                       "Enter red value (0-255) @0 number @0,20 0",
                                       "Enter green value (0-255) @0 number @0,20 0",
                                       "Enter blue value (0-255) @0 number @0,20 0",
                                       "Image Read Type @0",
                                       "0 = horizontal, 1 = vertical @20 number @0,40 0",
                                       "Enter width, 8-255 @0 number @0,20 0",
                                       "Enter height, 8-255 @0 number @0,20 0",
                                       "Enter layers 1-255 @0 number @0,20 0",
                                       "Mirror?(1=yes, 0=no) @0 number @0,20 0"};
  EXPECT_EQ(gAsked, asked);
  EXPECT_EQ((std::vector<double>{a.custom, a.red, a.green, a.blue, a.readType, a.width, a.height,
                                 a.layers, a.mirror}),
            (std::vector<double>{2, 10, 20, 30, 1, 16, 12, 5, 1}));

  const ScanAnswers b = AskRecorded({0, 0, 8, 8, 2, 0});
  ASSERT_EQ(gAsked.size(), 7u);
  EXPECT_EQ(gAsked[1], "Image Read Type @0");
  EXPECT_EQ((std::vector<double>{b.red, b.width, b.layers}), (std::vector<double>{0, 8, 2}));

  // Sizes below 1 (and "nan", which reads as 0) are asked again until one is at least 1.
  const ScanAnswers c = AskRecorded({0, 0, 0, -16, 0.5, 8, -16, 8, -5, 0, 2, 0});
  EXPECT_EQ(gAsked.size(), 13u);
  EXPECT_EQ(gAsked[5], "Enter width, 8-255 @0 number @0,20 0");
  EXPECT_EQ((std::vector<double>{c.width, c.height, c.layers, c.mirror}),
            (std::vector<double>{8, 8, 2, 0}));
}

// The scan on the process's graphics context, with answers typed from a script.
class ScanOnScreen : public FrameCycleFixture {
 protected:
  TempDir folder;

  void SetUp() override {
    FrameCycleFixture::SetUp();
    ResetToolStateForTests();
    MakeToolArrays();
    SetSpriteSmoothingCmd(0);
  }
  void TearDown() override {
    FreeSprite(Context(), kStripSprite);
    ResetToolScreenForTests();
    ResetToolStateForTests();
    FrameCycleFixture::TearDown();
  }

  void ScanFile(const StripImage& strip, const ScanAnswers& answers) {
    const std::string file = folder.Child("strip.bmp");
    ASSERT_TRUE(SaveStripImage(strip, file));
    InstallToolScreen(TypedNumbers::Screen(TypedScanAnswers(answers)));
    EXPECT_EQ(ScanImageToVoxels(StrValue(file.c_str())), 0);
  }

  // The box's cells 0-20 on each axis, or to one past its size, and the palette size, for
  // comparing two scans.
  static std::vector<double> Box() {
    const ToolState& g = ToolGlobals;
    std::vector<double> cells{g.PaletteCount, g.GridSizeX, g.GridSizeY, g.GridSizeZ};
    const auto last = [](double size) { return std::clamp(int32_t(size) + 1, 20, 256); };
    for (int32_t z = 0; z <= last(g.GridSizeZ); ++z)
      for (int32_t y = 0; y <= last(g.GridSizeY); ++y)
        for (int32_t x = 0; x <= last(g.GridSizeX); ++x) cells.push_back(VoxelAt(x, y, z));
    return cells;
  }
};

constexpr uint32_t kKeyed = 0x8000FF;  // the loader's colour key: the sprite holds it transparent

// Three 8 x 8 tiles side by side; tile t has one pixel at column t, row t.
StripImage ThreeTileStrip() {
  StripImage strip(24, 8);
  for (int32_t t = 0; t < 3; ++t) strip.At(8 * t + t, t) = kRed + uint32_t(t);
  return strip;
}

// Four tiles of 200 pixels side by side or one below the other, every tile in the same 200 greys.
StripImage LongStrip(bool vertical) {
  StripImage strip(vertical ? 8 : 800, vertical ? 800 : 8);
  for (size_t i = 0; i < strip.pixels.size(); ++i)
    strip.pixels[i] = 0x010101 * uint32_t(1 + i % 200);
  return strip;
}

TEST_F(ScanOnScreen, DrawnTilesGiveTheCellsTheStripHolds) {
  StripImage wide = TwoTileStrip();
  wide.At(13, 5) = kKeyed;
  StripImage tall(8, 16);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x) tall.At(x % 8, y + (x / 8) * 8) = wide.At(x, y);
  ScanAnswers stacked = TileAnswers(8, 8, 2);
  stacked.readType = 1;
  // A mirrored pass of 3.5 layers begins with tile 2.5, which ends past the first pass's tiles.
  ScanAnswers stackedHalfLayer = TileAnswers(8, 200, 3.5, 1);
  stackedHalfLayer.readType = 1;
  ScanAnswers customRed = TileAnswers(8, 8, 2);
  customRed.custom = 1;
  customRed.red = 255;

  struct Case {
    const char* name;
    StripImage strip;
    ScanAnswers answers;
  };
  for (const Case& c : {Case{"side by side", wide, TileAnswers(8, 8, 2)},
                        Case{"one below the other", tall, stacked},
                        Case{"custom transparent colour", wide, customRed},
                        Case{"mirrored", ThreeTileStrip(), TileAnswers(8, 8, 3, 1)},
                        Case{"mirrored half layer", LongStrip(false), TileAnswers(200, 8, 3.5, 1)},
                        Case{"mirrored half layer below", LongStrip(true), stackedHalfLayer},
                        Case{"fewer layers than tiles", ThreeTileStrip(), TileAnswers(8, 8, 1)},
                        Case{"more layers than tiles", wide, TileAnswers(8, 8, 5)}}) {
    SCOPED_TRACE(c.name);
    ResetToolStateForTests();
    MakeToolArrays();
    ScanFile(c.strip, c.answers);
    const std::vector<double> onScreen = Box();
    for (int32_t y = 0; y < std::min(c.strip.height, 480); ++y) {
      for (int32_t x = 0; x < std::min(c.strip.width, 640); ++x) {
        const uint32_t colour = c.strip.pixels[size_t(y) * size_t(c.strip.width) + size_t(x)];
        if (colour != 0 && colour != kKeyed) {
          ASSERT_EQ(uint32_t(GetPixel(x, y)), colour) << "the whole strip stays drawn at (0, 0)";
        }
      }
    }

    ResetToolStateForTests();
    MakeToolArrays();
    StripImage expected = c.strip;
    for (uint32_t& p : expected.pixels) p = p == kKeyed ? 0 : p;
    expected.Scan(c.answers);
    EXPECT_EQ(onScreen, Box());
  }
  EXPECT_EQ(ToolGlobals.GridSizeZ, 5);
  EXPECT_EQ(ToolGlobals.PaletteCount, 3);
  for (int32_t z = 3; z <= 5; ++z) EXPECT_EQ(VoxelAt(1, 1, z), 0) << "layer " << z;
}

// Tiles of 10 x 10 with a texture of 32 pixels: two tiles to a band, with room for a third.
TEST_F(ScanOnScreen, AStripLongerThanOneTextureIsScannedInBandsOfWholeTiles) {
  StripImage wide(50, 10), tall(10, 50);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 50; ++x) {
      wide.At(x, y) = tall.At(x % 10, y + (x / 10) * 10) = 0x010101 * uint32_t(1 + x + 3 * y);
    }
  }
  ScanAnswers stacked = TileAnswers(10, 10, 5);
  stacked.readType = 1;
  platform::test::OverrideGl({.maxTextureSize = 32});
  // 4.5 mirrored layers: tile 2.5 begins in the first band and ends in the second.
  const std::pair<StripImage*, ScanAnswers> scans[] = {
      {&wide, TileAnswers(10, 10, 6, 1)}, {&wide, TileAnswers(10, 10, 4.5, 1)}, {&tall, stacked}};
  for (const auto& [strip, answers] : scans) {
    SCOPED_TRACE(answers.layers);
    ResetToolStateForTests();
    MakeToolArrays();
    ScanFile(*strip, answers);
    const std::vector<double> onScreen = Box();
    ResetToolStateForTests();
    MakeToolArrays();
    strip->Scan(answers);
    EXPECT_EQ(onScreen, Box());
  }
  platform::test::OverrideGl({});
}

// A picture far larger than its tiles costs little: the image question keeps none of its pixels,
// and the scan only the rows its tiles reach (the drawing and the box take some 18 MB of their
// own; the whole picture would take 64 MB more, and its texture as much again).
TEST_F(ScanOnScreen, LargePicturesAreKeptOnlyWhereTheTilesReach) {
  const std::string file = folder.Child("large.png");
  {
    StripImage strip(4096, 4096);  // 64 MB of pixels
    strip.At(20, 3) = kRed;
    ASSERT_TRUE(SaveStripImage(strip, file));
  }
  const StrValue name(file.c_str());
  EXPECT_LT(PeakMemoryGrowth([&] { EXPECT_EQ(ImageNameRefusal(name), nullptr); }), 16 << 20);
  InstallToolScreen(TypedNumbers::Screen(TypedScanAnswers(TileAnswers(16, 16, 4))));
  EXPECT_LT(PeakMemoryGrowth([&] { ScanImageToVoxels(name); }), 48 << 20);
  EXPECT_EQ(ToolGlobals.PaletteCount, 1);
  EXPECT_EQ(VoxelAt(5, 4, 2), 1);
}

// Colours that never hit the loader's key; 240 rows of the tile span two of the read cache's
// blocks.
StripImage Gradient(int32_t side) {
  StripImage strip(side, side);
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) strip.At(x, y) = uint32_t(x) | uint32_t(y) << 8 | 7u << 16;
  return strip;
}

TEST_F(ScanOnScreen, TheTileReadInOneGoEqualsSinglePixelReadsInEitherPixelFormat) {
  const int32_t side = 240;
  const StripImage strip = Gradient(side);
  const std::string file = folder.Child("gradient.bmp");
  ASSERT_TRUE(SaveStripImage(strip, file));
  LoadSprite(StrValue(file.c_str()), kStripSprite);
  const ScanAnswers answers = TileAnswers(side, side, 1);
  OpenGLRainbows& ctx = Context();
  const uint8_t bgra = ctx.bgraSupported;
  for (uint8_t flag : {uint8_t(1), uint8_t(0)}) {
    SCOPED_TRACE(flag ? "BGRA" : "RGBA");
    ctx.bgraSupported = flag;
    const TileReader reader = ScreenTileReader(answers);
    const uint32_t* tile = reader(0);
    const std::vector<uint32_t> read(tile, tile + strip.pixels.size());
    EXPECT_EQ(read, strip.pixels);
    std::vector<uint32_t> single;
    for (int32_t y = 0; y < side; ++y) {
      for (int32_t x = 0; x < side; ++x) {
        InvalidateScreenReads();
        single.push_back(uint32_t(GetPixel(x, y)));
      }
    }
    EXPECT_EQ(read, single);
  }
  ctx.bgraSupported = bgra;
}

}  // namespace
