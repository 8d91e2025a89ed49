// The loading, query and pixel-array commands: error codes for missing and bad files, ids out
// of range, and the round trip of a pixel array through a sprite.
#include "gfx2d/sprite_commands.h"

#include <climits>
#include <cmath>
#include <vector>

#include "core/dim_array.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/pixel_array_commands.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "tests/gfx2d/command_fixture.h"

namespace {

constexpr int32_t kBadSprites[] = {-1, 65536, INT_MAX, INT_MIN};
constexpr int32_t kBadNumbers[] = {-1, 32};
constexpr int32_t kUntouched = 5;

struct IntArray {
  DimArray a{};
  ~IntArray() { ArrayRelease(a); }
};

class SpriteCommands : public CommandFixture {
 protected:
  void TearDown() override {
    FreeSprite(Context(), 3);
    for (int32_t font = 1; font < kFontCount; ++font)
      FreeSprite(Context(), kFirstFontSprite + font);
    CommandFixture::TearDown();
  }
};

TEST_F(SpriteCommands, LoadsReportMissingAndUnreadableFiles) {
  OwnedStr good(WriteTestPng("good.png", 4, 3));
  OwnedStr missing(folder_.Child("missing.png"));
  const std::string junkFile = folder_.Child("junk.png");
  TempDir::WriteBytes(junkFile, "not an image at all");
  OwnedStr junk(junkFile), empty("");

  LoadSprite(good.s, 3);
  EXPECT_EQ(LastErrorCode, 0);
  int32_t w = 0, h = 0;
  GetSpriteSizeI(3, &w, &h);
  EXPECT_EQ(w * 10 + h, 43);
  for (const OwnedStr* name : {&missing, &junk}) {
    LoadSprite(name->s, 3);
    EXPECT_EQ(LastErrorCode, 3);
    LoadNormalMapSpriteCmd(name->s, 3);
    EXPECT_EQ(LastErrorCode, 3);
  }
  LoadNormalMapSpriteCmd(empty.s, 3);
  EXPECT_EQ(LastErrorCode, 3) << "an empty name is a missing file";
  LoadSprite(good.s, 3);
  LoadSprite(empty.s, 3);
  EXPECT_EQ(LastErrorCode, 0) << "an empty name only frees";
  EXPECT_EQ(Context().sprites[3].width, 0);

  LoadFont(missing.s, 2);
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(CurrentFont, 2);
  EXPECT_EQ(Context().sprites[kFirstFontSprite + 2].width, 128) << "the built-in set instead";

  IntArray pixels;
  SetLastErrorCode(0);
  LoadImageToArrayCmd(junk.s, &w, &h, pixels.a);
  EXPECT_EQ(LastErrorCode, 3);
}

TEST_F(SpriteCommands, IdsOutOfRangeTouchNothingOutsideTheTables) {
  OwnedStr good(WriteTestPng("good.png", 4, 3));
  IntArray pixels;
  ArrayDimIntExact(pixels.a, 4, 0, 0, 0);
  for (int32_t id : kBadSprites) {
    SCOPED_TRACE(id);
    LoadSprite(good.s, id);
    EXPECT_EQ(LastErrorCode, 7);
    LoadNormalMapSpriteCmd(good.s, id);
    EXPECT_EQ(LastErrorCode, 7);
    LoadAnimCmd(good.s, id, 2, 2);
    EXPECT_EQ(LastErrorCode, 7);
    SaveSpriteCmd(OwnedStr(folder_.Child("out.png")).s, id);
    EXPECT_EQ(LastErrorCode, 3);

    SetLastErrorCode(kUntouched);
    EXPECT_EQ(GrabSpriteCmd(id, 0, 0, 4, 4), 0);
    EXPECT_EQ(ArrayToSpriteCmd(pixels.a, id, 2, 2), 0);
    EXPECT_EQ(SpriteToArrayCmd(pixels.a, id), 0);
    EXPECT_EQ(CreateScreenCmd(0, id, 16, 16), 0);
    EXPECT_EQ(LastErrorCode, kUntouched);
    EXPECT_EQ(pixels.a.count, 4);

    DrawSpriteCmd(id, 0, 0);
    StretchSpriteCmd(id, 0, 0, 8, 8);
    RotateSpriteCmd(id, 0, 0, 30);
    RotoZoomSpriteCmd(id, 0, 0, 30, 2);
    ZoomSpriteCmd(id, 0, 0, 2, 2);
    SetSpriteAnimSizeCmd(id, 2, 2);
    DrawAnimFrameCmd(id, 0, 0, 0);
    StretchAnimFrameCmd(id, 0, 0, 0, 8, 8);
    RotoZoomAnimFrameCmd(id, 0, 0, 0, 30, 2);
    EXPECT_EQ(SpriteCollisionCmd(id, 0, 0, 3, 0, 0), 0);
    EXPECT_EQ(SpriteCollisionCmd(3, 0, 0, id, 0, 0), 0);
    EXPECT_EQ(AnimCollisionCmd(id, 0, 0, 0, 3, 0, 0, 0), 0);
    EXPECT_EQ(AnimCollisionCmd(3, 0, 0, 0, id, 0, 0, 0), 0);

    int32_t w = -1, h = -1;
    GetSpriteSizeI(id, &w, &h);
    EXPECT_EQ(w | h, 0);
    EXPECT_EQ(GetSpriteTextureId(id), 0);
    PolyStart(id, 0);
    PolyEnd();
  }
  for (double id : {1e300, -1e300, double(NAN), 65536.0}) {
    double w = -1, h = -1;
    GetSpriteSizeF(id, &w, &h);
    EXPECT_EQ(w + h, 0.0);
  }

  for (int32_t screen : kBadNumbers) {
    SetLastErrorCode(kUntouched);
    EXPECT_EQ(CreateScreenCmd(screen, 3, 16, 16), 0);
    EXPECT_EQ(LastErrorCode, kUntouched);
    UseScreenCmd(screen);
    EXPECT_EQ(Context().currentScreen, -1);
  }
  EXPECT_EQ(GetPixel(0, 0), 0) << "nothing was drawn";

  SetFont(3);
  for (int32_t font : kBadNumbers) {
    SCOPED_TRACE(font);
    SetFont(font);
    EXPECT_EQ(LastErrorCode, 7);
    EXPECT_EQ(CurrentFont, 3);
    OwnedStr empty("");
    LoadFont(empty.s, font);
    EXPECT_EQ(LastErrorCode, 7);
    EXPECT_EQ(CurrentFont, 3);
  }
  // The tool asks for font 99: the file goes into the current font, the number is refused.
  OwnedStr sysfont(QRN_SOURCE_DIR "/assets/sysfont.png");
  LoadFont(sysfont.s, 99);
  EXPECT_EQ(LastErrorCode, 7);
  EXPECT_EQ(CurrentFont, 3);
  EXPECT_EQ(Context().sprites[kFirstFontSprite + 3].width, 128);
}

TEST_F(SpriteCommands, PixelArrayRoundTripsThroughASprite) {
  IntArray pixels;
  ArrayDimIntExact(pixels.a, 6, 0, 0, 0);
  for (int32_t i = 0; i < 6; ++i)
    *ArrayElementAt(pixels.a, i) = int32_t(0xFF030201u + uint32_t(i) * 0x010101u);
  *ArrayElementAt(pixels.a, 5) = 0x04030201;
  SetLastErrorCode(kUntouched);
  EXPECT_EQ(ArrayToSpriteCmd(pixels.a, 3, -1, -6), 0) << "negative sizes whose product fits";
  EXPECT_EQ(ArrayToSpriteCmd(pixels.a, 3, 2, 2), 0);
  EXPECT_EQ(LastErrorCode, kUntouched);
  ASSERT_EQ(ArrayToSpriteCmd(pixels.a, 3, 3, 2), 1);
  int32_t w = 0, h = 0;
  GetSpriteSizeI(3, &w, &h);
  EXPECT_EQ(w * 10 + h, 32);
  EXPECT_NE(GetSpriteTextureId(3), 0);

  IntArray back;
  ASSERT_EQ(SpriteToArrayCmd(back.a, 3), 1);
  ASSERT_EQ(back.a.count, 6);
  for (int32_t i = 0; i < 6; ++i)
    EXPECT_EQ(*ArrayElementAt(back.a, i), *ArrayElementAt(pixels.a, i)) << i;
  FreeSprite(Context(), 3);
  EXPECT_EQ(SpriteToArrayCmd(back.a, 3), 0);
  EXPECT_EQ(back.a.count, 6) << "a free sprite leaves the array";
}

TEST_F(SpriteCommands, SavesReportFailures) {
  OwnedStr good(WriteTestPng("good.png", 4, 3));
  OwnedStr saved(folder_.Child("saved.png")), nowhere("/nonexistent-folder/x.png");
  LoadSprite(good.s, 3);
  SaveSpriteCmd(saved.s, 3);
  EXPECT_EQ(LastErrorCode, 0);
  IntArray pixels;
  int32_t w = 0, h = 0;
  LoadImageToArrayCmd(saved.s, &w, &h, pixels.a);
  ASSERT_EQ(w * 10 + h, 43);
  ASSERT_EQ(pixels.a.count, 12);
  for (int32_t i = 0; i < 12; ++i)
    EXPECT_EQ(uint32_t(*ArrayElementAt(pixels.a, i)), ExpectedPixel(i % 4, i / 4) | 0xFF000000u);
  SaveSpriteCmd(nowhere.s, 3);
  EXPECT_EQ(LastErrorCode, 3);
  SaveSpriteCmd(saved.s, 4);
  EXPECT_EQ(LastErrorCode, 3) << "a free sprite";
  SaveScreenCmd(nowhere.s);
  EXPECT_EQ(LastErrorCode, 3);
  SaveScreenCmd(saved.s);
  EXPECT_EQ(LastErrorCode, 0);
}

}  // namespace
