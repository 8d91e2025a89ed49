// The on-screen line editor, driven by scripted typing.
#include "frame/text_input.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/str_value.h"
#include "frame/default_font.h"
#include "frame/gfx2d_services.h"
#include "platform/input.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

class TextInput : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    StartInput();
    services_ = Gfx2d();
  }
  void TearDown() override {
    InstallGfx2dServices(services_);
    InstallSnapshotWriter(nullptr);
    ResetInputScriptForTests();
    FrameCycleFixture::TearDown();
  }

  void Script(const std::string& text) {
    const std::string file = folder_.Child("answers.txt");
    TempDir::WriteBytes(file, text);
    ASSERT_TRUE(LoadInputScript(file)) << ScriptError();
  }

  std::string Edited(const char* start, const std::string& script) {
    Script(script);
    StrValue text(start);
    InputString(text.str(), 10, 10, 0);
    return std::string(text.str().data, text.str().length);
  }

  // Each reading moves on a little, so that the frame limiter's spin phase ends.
  FakeClockScope clock_{kFakeStartMs, 0.25};
  Gfx2dServices services_;
  TempDir folder_;
};

TEST_F(TextInput, NumbersReadTheLeadingNumberOfTheTypedLine) {
  Script("text 12ab\ntext \ntext 2.5e1x\ntext 0x1A\n");
  int32_t whole = -1;
  InputInteger(&whole, 0, 0, 0);
  EXPECT_EQ(whole, 12);
  InputInteger(&whole, 0, 0, 0);
  EXPECT_EQ(whole, 0) << "an empty line";
  double number = -1;
  InputNumber(&number, 0, 0, 1);
  EXPECT_DOUBLE_EQ(number, 25.0);
  InputNumber(&number, 0, 0, 1);
  EXPECT_DOUBLE_EQ(number, 0.0) << "decimal only";
}

TEST_F(TextInput, EditsFromTheCurrentTextWithBackspaceAndTakesLongAnswersWhole) {
  EXPECT_EQ(Edited("ab", "key backspace\nkey backspace\nkey backspace\ntext cd\n"), "cd");
  EXPECT_EQ(Edited("", "key enter\n"), "");
  EXPECT_EQ(Edited("x", "text a_strip_name_longer_than_16.png\n"),
            "xa_strip_name_longer_than_16.png");
}

std::vector<std::string> gPrinted;
std::vector<int32_t> gProportional;
void RecordPrint(const Str& text, double, double, int32_t proportional) {
  gPrinted.emplace_back(text.data, text.length);
  gProportional.push_back(proportional);
  if (gPrinted.size() == 30) platform::test::InjectKey(28, true);
}

TEST_F(TextInput, CursorFirstShowsOnTheTwentyFirstIdleFrame) {
  Gfx2dServices recorder = Gfx2d();
  recorder.printText = RecordPrint;
  InstallGfx2dServices(recorder);
  gPrinted.clear();
  gProportional.clear();
  StrValue text("");
  InputString(text.str(), 0, 0, 1);
  ASSERT_EQ(gPrinted.size(), 30u);
  size_t firstCursor = 0;
  while (firstCursor < gPrinted.size() && gPrinted[firstCursor] != "_") ++firstCursor;
  EXPECT_EQ(firstCursor, 21u) << "the first print is the starting text, then one a frame";
  EXPECT_EQ(gProportional[0], 0) << "the starting text in fixed cells";
  EXPECT_EQ(gProportional[1], 1);
}

gltest::Rgba gInsideText, gBesideText;
int ProbeScreen(const char*, SnapshotPicture) {
  const OpenGLRainbows& ctx = *GraphicsContext;
  gInsideText = {};
  for (int y = 100; y < 108; ++y) {
    for (int x = 100; x < 108; ++x) {
      const gltest::Rgba pixel = gltest::ReadBackPixel(ctx, x, y);
      if (pixel[0] > gInsideText[0]) gInsideText = pixel;
    }
  }
  gBesideText = gltest::ReadBackPixel(ctx, 300, 300);
  return 1;
}

// The second input grabs into the texture the first one kept, and still shows its own screen.
TEST_F(TextInput, EachLineIsDrawnOverTheScreenItStartedOn) {
  ASSERT_TRUE(CreateDefaultFont(Context(), 0));
  InstallSnapshotWriter(ProbeScreen);
  uint32_t firstTexture = 0;
  for (const gltest::Rgba screen : {gltest::Rgba{0, 0, 255, 255}, gltest::Rgba{0, 255, 0, 255}}) {
    glClearColor(0, screen[1] / 255.0f, screen[2] / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    Script("key W\nsnapshot probe\nkey enter\n");
    StrValue text("");
    InputString(text.str(), 100, 100, 0);
    EXPECT_GT(gInsideText[0], 128) << "a light glyph pixel";
    EXPECT_EQ(gBesideText, screen) << "the grabbed screen under it";
    EXPECT_EQ(Context().backgrounds[3].tilesA, 0) << "the picture is emptied at the end";
    const uint32_t kept = Context().backgrounds[kSpareGrabTiles].tiles[0];
    EXPECT_NE(kept, 0u);
    if (firstTexture == 0) firstTexture = kept;
    EXPECT_EQ(kept, firstTexture);
  }
}

}  // namespace
