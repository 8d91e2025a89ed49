// The scan passes on strips cut as the screen shows them: cells, depths, palette order, the
// transparent colour, mirroring, layers past the image, the size limit and the throttled frames.
#include "tool/image_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/program_end.h"
#include "tests/support/tool_fixture.h"
#include "tool/image_scan_command.h"
#include "tool/palette.h"

namespace {

struct Cell {
  int32_t x, y, z;
  double index;
};

// Every solid cell of the box's first 20 cells per axis, in x, y, z order.
std::vector<Cell> SolidCells() {
  std::vector<Cell> cells;
  for (int32_t z = 0; z < 20; ++z) {
    for (int32_t y = 0; y < 20; ++y) {
      for (int32_t x = 0; x < 20; ++x) {
        if (const double v = VoxelAt(x, y, z); v != 0) cells.push_back({x, y, z, v});
      }
    }
  }
  return cells;
}

std::string Describe(const std::vector<Cell>& cells) {
  std::string text;
  for (const Cell& c : cells) {
    text += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + "," + std::to_string(c.z) +
            ")=" + std::to_string(int(c.index)) + " ";
  }
  return text;
}

std::vector<double> PaletteColours() {
  std::vector<double> colours;
  for (double i = 1; i <= ToolGlobals.PaletteCount; ++i) {
    colours.push_back(ToolNumberAt(ToolGlobals.PaletteColors, i));
  }
  return colours;
}

using ImageScan = ToolTest;

TEST_F(ImageScan, SideBySideTilesBecomeSlicesWithColoursInOrderOfFirstSight) {
  StripImage strip = TwoTileStrip();
  strip.Scan(TileAnswers(8, 8, 2));
  EXPECT_EQ(Describe(SolidCells()), "(1,1,1)=1 (2,1,1)=1 (8,8,1)=2 (1,1,2)=1 (4,5,2)=3 ");
  EXPECT_EQ(PaletteColours(), (std::vector<double>{kRed, kGreen, kBlue}));
  EXPECT_EQ(ToolNumberAt(ToolGlobals.PaletteBlue, 3), 255);
  EXPECT_EQ(ToolGlobals.GridSizeX, 8);
  EXPECT_EQ(ToolGlobals.GridSizeZ, 2);
}

TEST_F(ImageScan, NarrowTilesKeepTheBoxSquareAndLeaveTheExtraColumnsEmpty) {
  StripImage strip(10, 16);
  for (int32_t y = 0; y < 16; ++y) strip.At(9, y) = kGreen;
  strip.Scan(TileAnswers(10, 16, 1));
  EXPECT_EQ(ToolGlobals.GridSizeX, 16);
  const std::vector<Cell> cells = SolidCells();
  ASSERT_EQ(cells.size(), 16u);
  for (const Cell& c : cells) EXPECT_EQ(c.x, 10);
}

TEST_F(ImageScan, MirroringStacksTheReversedTilesBehindAndDeepensTheBox) {
  StripImage strip(9, 3);
  for (int32_t t = 0; t < 3; ++t) strip.At(3 * t + t, t) = kRed + uint32_t(t);
  strip.Scan(TileAnswers(3, 3, 3, 1));
  EXPECT_EQ(ToolGlobals.GridSizeZ, 6);
  // Tile t has its one pixel at column t, row t; depths 1-6 hold tiles 0, 1, 2, 2, 1, 0.
  EXPECT_EQ(Describe(SolidCells()), "(1,1,1)=1 (2,2,2)=2 (3,3,3)=3 (3,3,4)=3 (2,2,5)=2 (1,1,6)=1 ");
}

TEST_F(ImageScan, OnlyAMirrorAnswerOfExactlyOneMirrors) {
  TwoTileStrip().Scan(TileAnswers(8, 8, 2, 2));
  EXPECT_EQ(ToolGlobals.GridSizeZ, 2);
}

TEST_F(ImageScan, LayersPastTheImageStayEmptyRatherThanRepeatingTheStrip) {
  TwoTileStrip().Scan(TileAnswers(8, 8, 5));
  EXPECT_EQ(ToolGlobals.GridSizeZ, 5);
  for (const Cell& c : SolidCells()) EXPECT_LE(c.z, 2) << Describe({c});
}

TEST_F(ImageScan, ACustomTransparentColourIsSkippedAndBlackStaysEmptyAnyway) {
  StripImage strip = TwoTileStrip();
  ScanAnswers answers = TileAnswers(8, 8, 2);
  answers.custom = 1;
  answers.red = 255.9;  // components are truncated
  answers.green = 256;  // and only their low byte counts
  answers.blue = 0;
  strip.Scan(answers);
  EXPECT_EQ(ToolGlobals.TransparentColor, kRed);
  EXPECT_EQ(Describe(SolidCells()), "(8,8,1)=1 (4,5,2)=2 ");
}

TEST_F(ImageScan, ThrottledAndUnthrottledFramesScanTheSameBox) {
  std::vector<std::string> boxes;
  for (double step : {0.0, 16.0}) {
    FakeClockScope clock(1000, step);
    ResetToolStateForTests();
    MakeToolArrays();
    TwoTileStrip().Scan(TileAnswers(8, 8, 2, 1));
    boxes.push_back(Describe(SolidCells()) + std::to_string(int(ToolGlobals.PaletteCount)));
  }
  EXPECT_EQ(boxes[0], boxes[1]);
}

int gFramesShown = 0;
void CountFrame() {
  ++gFramesShown;
}

// Clearing an empty box takes no time at all; the slow scan after it still shows a frame once
// 16 ms have passed, not only at its end.
TEST_F(ImageScan, EachProgressLoopPacesItsOwnFrames) {
  FakeClockScope clock(1000, 0);
  ToolScreen screen{};
  screen.showScreen = CountFrame;
  InstallToolScreen(screen);
  clear_object();
  StripImage strip(8 * 20, 8);
  const ScanAnswers answers = TileAnswers(8, 8, 20);
  const TileReader readTile = strip.Reader(answers);
  gFramesShown = 0;
  ScanTilesIntoVoxels(answers, strip.width, strip.height, [&](double tile) {
    clock.Advance(10);
    return readTile(tile);
  });
  EXPECT_EQ(gFramesShown, 10) << "a frame every second tile of 10 ms";
}

TEST_F(ImageScan, ClearingEmptiesEveryCellBelowIndex256AfterEachFilling) {
  for (int round = 0; round < 2; ++round) {
    clear_object();
    VoxelAt(0, 0, 0) = VoxelAt(255, 17, 255) = 3;
    VoxelAt(256, 256, 256) = VoxelAt(0, 256, 0) = 4;
    VoxelRowAlongX(9, 9)[5] = 2;
    clear_object();
    EXPECT_EQ(VoxelAt(0, 0, 0), 0);
    EXPECT_EQ(VoxelAt(255, 17, 255), 0);
    EXPECT_EQ(VoxelAt(5, 9, 9), 0);
    EXPECT_EQ(VoxelAt(256, 256, 256), 4);
    EXPECT_EQ(VoxelAt(0, 256, 0), 4);
  }
  // A box given back is not walked by clearing, and the tool's set-up makes it anew, all 0.
  ReleaseVoxels();
  clear_object();
  MakeToolArrays();
  EXPECT_EQ(VoxelAt(256, 256, 256), 0);
}

TEST(ScanSizeLimit, AcceptsUpTo254AndAMirroredCopyThatStillFits) {
  struct Row {
    double width, height, layers, mirror;
    bool tooBig;
  };
  for (const Row& r :
       {Row{254, 254, 254, 0, false}, Row{255, 8, 1, 0, true}, Row{8, 255, 1, 0, true},
        Row{8, 8, 255, 0, true}, Row{8, 8, 127, 1, false}, Row{8, 8, 128, 1, true},
        Row{8, 8, 128, 2, false}, Row{HUGE_VAL, 8, 1, 0, true}}) {
    EXPECT_EQ(ScanTooBig(TileAnswers(r.width, r.height, r.layers, r.mirror)), r.tooBig)
        << r.width << " x " << r.height << " x " << r.layers << " mirror " << r.mirror;
  }
  EXPECT_EQ(std::string(ScanTooBigText().c_str()), "Too big, must be 254x254x254 tiles or less");
}

TEST(ScanSizeLimitDeathTest, TooBigEndsTheScanWithStatusZeroAndWritesNothing) {
  for (const ScanAnswers& answers :
       {TileAnswers(255, 8, 1), TileAnswers(8, 8, 255), TileAnswers(8, 8, 128, 1)}) {
    TempDir tmp;
    EXPECT_EXIT(
        {
          std::filesystem::current_path(tmp.path);
          InstallToolScreen(TypedNumbers::Screen(TypedScanAnswers(answers)));
          ScanImageToVoxels(StrValue("strip.png"));
          std::abort();
        },
        testing::ExitedWithCode(0), "");
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path));
  }
  EXPECT_EQ(EndStatusOf([] { EndScanWhenTooBig(TileAnswers(254, 254, 127, 1)); }), -1);
}

TEST(Palette, HoldsBlackAtZeroAnd254ColoursThenAnswersZero) {
  ResetToolStateForTests();
  EXPECT_EQ(PaletteAddColor(0), 0);
  for (double c = 1; c <= 254; ++c) ASSERT_EQ(PaletteAddColor(c * 1000), c);
  EXPECT_EQ(PaletteAddColor(255000), 0);
  EXPECT_EQ(PaletteAddColor(0), 0);
  EXPECT_EQ(PaletteAddColor(7000), 7);
  EXPECT_EQ(ToolGlobals.PaletteCount, 254);
  EXPECT_EQ(PaletteAddColor(0x804020), 0);
  ResetToolStateForTests();
  EXPECT_EQ(PaletteAddColor(0x804020), 1);
  EXPECT_EQ(ToolNumberAt(ToolGlobals.PaletteRed, 1), 0x20);
  EXPECT_EQ(ToolNumberAt(ToolGlobals.PaletteGreen, 1), 0x40);
  EXPECT_EQ(ToolNumberAt(ToolGlobals.PaletteBlue, 1), 0x80);
  ResetToolStateForTests();
}

}  // namespace
