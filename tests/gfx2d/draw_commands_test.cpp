// The drawing commands: the blend mode table, the tool's tile drawn through the polygon
// commands and read back with GetPixel, and text found by GetPixel.
#include "gfx2d/draw_commands.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>

#include "gfx2d/background_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "tests/gfx2d/command_fixture.h"

namespace {

class DrawCommands : public CommandFixture {};

struct BlendState {
  bool blending;
  GLint destination;
  float drawAlpha;
  float colourAlpha;
};

BlendState ReadBlendState(const OpenGLRainbows& ctx) {
  BlendState s{};
  s.blending = glIsEnabled(GL_BLEND);
  glGetIntegerv(GL_BLEND_DST, &s.destination);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  s.drawAlpha = ctx.drawAlpha;
  s.colourAlpha = colour[3];
  return s;
}

TEST_F(DrawCommands, BlendModeTable) {
  struct Case {
    double a;
    float alphaTest;
    bool blending;
    GLint destination;
    float alpha;
  } cases[] = {
      {0.0, 0.05f, false, 0, 1.0f},
      {0.0, 1.0f, true, GL_ONE_MINUS_SRC_ALPHA, 1.0f},
      {-0.5, 0.05f, true, GL_ONE_MINUS_SRC_ALPHA, 0.5f},
      {-3.0, 0.05f, true, GL_ONE_MINUS_SRC_ALPHA, 1.0f},
      {2.0, 0.05f, true, GL_ONE, 1.0f},
      {0.25, 0.05f, true, GL_ONE, 0.25f},
  };
  OpenGLRainbows& ctx = Context();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "a " << c.a << ", alpha test " << c.alphaTest);
    SetAlphaTestCmd(c.alphaTest);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    SetBlendMode(c.a);
    const BlendState s = ReadBlendState(ctx);
    EXPECT_EQ(s.blending, c.blending);
    if (c.blending) {
      EXPECT_EQ(s.destination, c.destination);
    }
    EXPECT_FLOAT_EQ(s.drawAlpha, c.alpha);
    EXPECT_FLOAT_EQ(s.colourAlpha, c.alpha);
  }
}

// The tool's road: the strip image as sprite 0, drawn as a textured strip at the top-left of
// the frame being built and read back before the frame is shown.
TEST_F(DrawCommands, TileDrawnThroughPolygonCommandsReadsBackExactly) {
  constexpr int32_t w = 12, h = 9;
  OwnedStr name(WriteTestPng("strip.png", w, h));
  LoadSprite(name.s, 0);
  ASSERT_EQ(LastErrorCode, 0);
  SetSpriteSmoothingCmd(0);
  ShowScreen(1);
  PolyStart(0, 2);
  PolyVector(0, 0, 0, 0, 0xFFFFFF);
  PolyVector(w, 0, w, 0, 0xFFFFFF);
  PolyVector(0, h, 0, h, 0xFFFFFF);
  PolyVector(w, h, w, h, 0xFFFFFF);
  PolyEnd();
  int mismatches = 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) mismatches += uint32_t(GetPixel(x, y)) != ExpectedPixel(x, y);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(GetPixel(w, 0), 0) << "nothing drawn beside the tile";
  FreeSprite(Context(), 0);
  SetSpriteSmoothingCmd(1);
}

TEST_F(DrawCommands, PrintedTextIsFoundByGetPixel) {
  OwnedStr text("H");
  PrintText(text.s, 20, 30, 0);
  int lit = 0;
  for (int32_t y = 30; y < 38; ++y)
    for (int32_t x = 20; x < 28; ++x) lit += GetPixel(x, y) == 0xFFFFFF;
  EXPECT_GT(lit, 6) << "the dots of 'H' are white";
  EXPECT_EQ(GetPixel(19, 29), 0);
  EXPECT_EQ(GetPixel(28, 38), 0);
}

TEST_F(DrawCommands, PolygonOfASpriteAboveTheTableDrawsNothing) {
  // A negative sprite draws untextured.
  for (const auto& [sprite, colour] : {std::pair{70000, 0}, {-1, 0xFF}}) {
    PolyStart(sprite, 2);
    for (int32_t corner = 0; corner < 4; ++corner)
      PolyVector(corner % 2 * 8, corner / 2 * 8, 0, 0, 0xFF);
    PolyEnd();
    EXPECT_EQ(GetPixel(2, 2), colour) << sprite;
  }
}

TEST_F(DrawCommands, ZoomedSpriteGrowsAboutItsCentre) {
  OwnedStr name(WriteTestPng("ten.png", 10, 10));
  LoadSprite(name.s, 3);
  ZoomSpriteCmd(3, 50, 50, 2, 2);
  EXPECT_EQ(GetPixel(44, 45), 0);
  EXPECT_EQ(GetPixel(45, 44), 0);
  EXPECT_NE(GetPixel(45, 45), 0);
  EXPECT_NE(GetPixel(64, 64), 0);
  EXPECT_EQ(GetPixel(65, 64), 0);
  EXPECT_EQ(GetPixel(64, 65), 0);
  ZoomSpriteCmd(3, 50, 50, std::nan(""), 1e300);  // sizes out of range must not be undefined
  FreeSprite(Context(), 3);
}

TEST_F(DrawCommands, BackgroundThatCannotLoadClearsToBlack) {
  OwnedStr picture(WriteTestPng("back.png", 20, 10)), missing(folder_.Child("none.png"));
  LoadBackgroundCmd(picture.s);
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(uint32_t(GetPixel(3, 2)), ExpectedPixel(3, 2)) << "drawn at once";
  EXPECT_NE(Context().backgrounds[0].tilesA, 0);
  LoadBackgroundCmd(missing.s);
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(Context().backgrounds[0].tilesA, 0);
  EXPECT_EQ(GetPixel(3, 2), 0);
}

}  // namespace
