// Command line and application name, standard streams, box overlap and the screen-size words.
#include "core/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/error_log_hook.h"
#include "core/process_globals.h"
#include "tests/support/owned_str.h"

namespace {

class Console : public testing::Test {
 protected:
  void SetUp() override { ResetCoreStateForTests(); }
  void TearDown() override { ResetCoreStateForTests(); }
};

TEST_F(Console, CommandLineIsEmptyUntilStoredAndCopiesAreIndependent) {
  EXPECT_EQ(GetCommandLineStr().length, 0u);
  SetCommandLineStr("/opt/tile2cubes -x");
  SetCommandLineStr("/opt/tile2cubes \"two words\"");
  Str copy = CommandLineStrCopy();
  SetCommandLineStr(nullptr);
  EXPECT_EQ(OwnedStr(copy).text(), "/opt/tile2cubes \"two words\"");
  EXPECT_EQ(GetCommandLineStr().length, 0u);
  StrAssignCString(GetAppNameStr(), "tile2cubes");
  AppNameStrRelease();
  EXPECT_EQ(GetAppNameStr().length, 0u);
}

TEST_F(Console, StandardInputGivesOneLineWithoutItsLineFeed) {
  const std::string path = testing::TempDir() + "console_stdin.txt";
  {
    std::ofstream input(path, std::ios::binary);
    input << "abc\r\n" << std::string(5000, 'x') << "\nlast";
  }
  ASSERT_NE(std::freopen(path.c_str(), "rb", stdin), nullptr);
  EXPECT_EQ(OwnedStr(StdIn()).text(), "abc\r");
  EXPECT_EQ(OwnedStr(StdIn()).text(), std::string(4094, 'x'));
  EXPECT_EQ(OwnedStr(StdIn()).text(), std::string(906, 'x'));
  EXPECT_EQ(OwnedStr(StdIn()).text(), "last");
  EXPECT_EQ(OwnedStr(StdIn()).text(), "");
  std::remove(path.c_str());
}

TEST(BoxCollision, RangesAreInclusiveAndExtentsMayBeZeroOrNegative) {
  struct Case {
    int32_t x1, y1, w1, h1, x2, y2, w2, h2;
    int32_t overlap;
  };
  const Case cases[] = {
      {0, 0, 10, 10, 10, 0, 5, 5, 0},
      {0, 0, 10, 10, 9, 9, 5, 5, 1},
      {5, 0, 0, 1, 0, 0, 6, 1, 1},
      {5, 0, 0, 1, 0, 0, 5, 1, 0},
      {10, 10, -5, -5, 6, 6, 1, 1, 1},   // covers 6..10
      {10, 10, -5, -5, 5, 5, 1, 1, 0},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 1, 1, 0},
      {INT_MAX, 0, INT_MAX, 1, INT_MAX, 0, 1, 1, 1},
      {INT_MIN, 0, INT_MIN, 1, INT_MIN, 0, 1, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoxCollision(c.x1, c.y1, c.w1, c.h1, c.x2, c.y2, c.w2, c.h2), c.overlap)
        << c.x1 << "," << c.y1 << "," << c.w1 << "," << c.h1 << " / " << c.x2 << "," << c.y2;
    EXPECT_EQ(BoxCollision(c.x2, c.y2, c.w2, c.h2, c.x1, c.y1, c.w1, c.h1), c.overlap);
  }
}

std::vector<std::string> gLogLines;
std::vector<std::pair<int32_t, int32_t>> gContextSizes;

TEST_F(Console, ScreenSizeNotificationLogsAndStoresTheSize) {
  gLogLines.clear();
  gContextSizes.clear();
  qrn_notify_screen_size(800, 600);  // nothing installed: only the words change
  SetErrorLogHook([](const char* text) { gLogLines.emplace_back(text); });
  qrn_notify_screen_size(1024, 768);
  InstallContextSizeHook([](int32_t w, int32_t h) { gContextSizes.emplace_back(w, h); });
  qrn_notify_screen_size(640, 480);
  EXPECT_EQ(gLogLines, (std::vector<std::string>{"qrn_notify_screen_size 1024x768\n",
                                                 "qrn_notify_screen_size 640x480\n"}));
  EXPECT_EQ(gContextSizes, (std::vector<std::pair<int32_t, int32_t>>{{640, 480}}));
  EXPECT_EQ(DesktopWidth, 640);
  EXPECT_EQ(DesktopHeight, 480);

  int32_t width = -1, height = -1;
  GetScreenSize(nullptr, &height);
  EXPECT_EQ(width, -1);
  EXPECT_EQ(height, 480);
  GetScreenSize(&width, nullptr);
  EXPECT_EQ(width, 640);
  GetScreenSize(nullptr, nullptr);
  SetErrorLogHook(nullptr);
}

}  // namespace
