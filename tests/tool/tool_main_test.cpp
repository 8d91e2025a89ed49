// The main program's own decisions: which image names it refuses, and the viewer's spin and
// the frame on which the model first shows.
#include "tool/tool_main.h"

#include <gtest/gtest.h>

#include <string>

#include "core/last_error.h"
#include "core/number_text.h"
#include "core/str_value.h"
#include "gfx2d/sprite_store.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/tool_fixture.h"
#include "tool/model_viewer.h"
#include "tool/scan_tile_drawing.h"

namespace {

class ImageNames : public FrameCycleFixture {
 protected:
  TempDir folder;

  void TearDown() override {
    FreeSprite(Context(), kStripSprite);
    FrameCycleFixture::TearDown();
  }

  std::string Refusal(const std::string& file) {
    const char* refusal = ImageNameRefusal(StrValue(folder.Child(file).c_str()));
    return refusal ? refusal : "";
  }
};

// Only what the sprite loader itself refuses is refused: a JPEG, which it reads, is a strip
// like any other, even though the question names PNG and BMP.
TEST_F(ImageNames, AreRefusedWhenMissingOrNotLoadable) {
  StripImage strip = TwoTileStrip();
  ASSERT_TRUE(SaveStripImage(strip, folder.Child("strip.png")));
  ASSERT_TRUE(SaveStripImage(strip, folder.Child("strip.jpg")));
  TempDir::WriteBytes(folder.Child("notimage.png"), "no picture here\n");
  TempDir::WriteBytes(folder.Child("truncated.png"),
                      TempDir::ReadBytes(folder.Child("strip.png")).substr(0, 60));
  // Wider than any texture the driver can make, which the scan takes in bands; and longer than
  // any answer can read.
  ASSERT_TRUE(SaveStripImage(StripImage(16385, 1), folder.Child("wide.bmp")));
  ASSERT_TRUE(SaveStripImage(StripImage(254 * 254 + 1, 1), folder.Child("toolong.bmp")));

  EXPECT_EQ(Refusal("missing.png"), "No such file...");
  EXPECT_EQ(Refusal("STRIP.PNG"), "No such file...") << "names keep their letter case";
  EXPECT_EQ(Refusal("notimage.png"), "Cannot load image...");
  EXPECT_EQ(Refusal("truncated.png"), "Cannot load image...");
  EXPECT_EQ(Refusal("toolong.bmp"), "Cannot load image...");
  EXPECT_EQ(Refusal("wide.bmp"), "");
  SetLastErrorCode(7);  // left over from an earlier command, as the font load leaves it
  EXPECT_EQ(Refusal("strip.png"), "");
  EXPECT_EQ(Refusal("strip.jpg"), "");
}

using Viewer = ToolTest;

TEST_F(Viewer, ModelFirstShowsOnTheHundredthFrameAndStaysShown) {
  double speed = 1.0;
  for (int frame = 1; frame <= 99; ++frame) {
    StepViewerState(speed, false, false);
    ASSERT_EQ(TruncToI32(ToolGlobals.ViewObject), 0) << "frame " << frame;
  }
  for (int frame = 100; frame <= 300; ++frame) {
    StepViewerState(speed, false, false);
    ASSERT_TRUE(ToolGlobals.ViewObject >= 1 && ToolGlobals.ViewObject < 1.02)
        << "frame " << frame;
  }
}

TEST_F(Viewer, SpinStartsAgainAfterAFullTurnAndTheKeysChangeItsSpeed) {
  double speed = 1.0;
  for (int frame = 1; frame <= 360; ++frame) StepViewerState(speed, false, false);
  EXPECT_EQ(ToolGlobals.SpinAngle, 360);
  StepViewerState(speed, false, false);
  EXPECT_EQ(ToolGlobals.SpinAngle, 0) << "the frame after a full turn adds nothing";
  // Held long enough, the slower key turns the spin round, without bound.
  for (int frame = 1; frame <= 400; ++frame) StepViewerState(speed, true, false);
  EXPECT_NEAR(speed, -1.0, 1e-9);
  EXPECT_LT(ToolGlobals.SpinAngle, 0);
  StepViewerState(speed, true, true);
  EXPECT_NEAR(speed, -1.0, 1e-9) << "both keys held cancel out";
}

}  // namespace
