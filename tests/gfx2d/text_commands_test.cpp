// The start-up's font and clear steps, as the 2D layer installs them into the frame.
#include "gfx2d/text_commands.h"

#include "frame/runtime_hooks.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/command_fixture.h"

namespace {

class TextCommands : public CommandFixture {
 protected:
  void TearDown() override {
    FreeSprite(Context(), kFirstFontSprite + 4);
    CommandFixture::TearDown();
  }
};

TEST_F(TextCommands, StartUpStepsUseTheFontsAndTheClearColour) {
  const StartupHooks& hooks = GetStartupHooks();
  hooks.selectFont(4);
  EXPECT_EQ(CurrentFont, 4);
  hooks.selectFont(40);
  EXPECT_EQ(CurrentFont, 4);

  const std::string junk = folder_.Child("junk.bmp");
  TempDir::WriteBytes(junk, "BM not a picture");
  EXPECT_FALSE(hooks.loadFont(junk.c_str(), 4));
  EXPECT_EQ(Context().sprites[kFirstFontSprite + 4].width, 128) << "the built-in set stays";
  const std::string shipped = QRN_SOURCE_DIR "/assets/sysfont.png";
  EXPECT_TRUE(hooks.loadFont(shipped.c_str(), 4));

  OwnedStr text("W");
  PrintText(text.s, 0, 0, 1);
  EXPECT_GT(TextWidthCmd(text.s, 1), 0);
  hooks.clearScreen(0x00FF00);
  EXPECT_EQ(GetPixel(1, 1), 0x00FF00);
}

}  // namespace
