// The default 2D render state and the state cache that keeps GL calls from repeating.
#include "frame/render_state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

#include "frame/graphics_context.h"
#include "tests/support/gl_fixture.h"

namespace {

using RenderState = GlFixture;

TEST_F(RenderState, ResetGivesThe2DDefaults) {
  OpenGLRainbows& ctx = Context();
  ctx.spriteSmoothing = 0;
  ctx.drawAlpha = 0.25f;
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glShadeModel(GL_SMOOTH);
  glFrontFace(GL_CW);
  ResetRenderState(ctx);

  // What the test changed beforehand must be back at the 2D default.
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  GLint value = 0;
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_FLAT);
  glGetIntegerv(GL_FRONT_FACE, &value);
  EXPECT_EQ(value, GL_CCW);
  EXPECT_EQ(ctx.drawAlpha, 1.0f);
  EXPECT_EQ(ctx.spriteSmoothing, 0) << "the program's smoothing setting survives the reset";
  EXPECT_EQ(GlStateCache.boundSprite, -1);
  ctx.spriteSmoothing = 1;
}

TEST_F(RenderState, ResetLeavesTheWordsItDoesNotSwitchUnknown) {
  for (int32_t& word : GlStateCache.enabled) word = 0;
  ResetRenderState(Context());
  for (GlCapability untouched : {kCapTextureGenS, kCapTextureGenT, kCapPolygonOffsetFill,
                                 kCapPolygonOffsetLine, kCapScissorTest, kCapLineStipple}) {
    EXPECT_EQ(GlStateCache.enabled[untouched], kGlStateUnknown) << untouched;
  }
  EXPECT_EQ(GlStateCache.enabled[kCapAlphaTest], 1);
}

TEST_F(RenderState, ResetSendsWhiteEvenWhenGlColourChangedBehindTheCache) {
  CachedColour(1, 1, 1, 1);
  glColor4f(1, 0, 0, 0.5f);  // as drawing with a colour array leaves it
  ResetRenderState(Context());
  std::array<GLfloat, 4> colour{};
  glGetFloatv(GL_CURRENT_COLOR, colour.data());
  EXPECT_EQ(colour, (std::array<GLfloat, 4>{1, 1, 1, 1}));
}

TEST_F(RenderState, CacheSkipsChangesToTheValueItHolds) {
  CachedEnable(kCapScissorTest);
  glDisable(GL_SCISSOR_TEST);
  CachedEnable(kCapScissorTest);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "a repeated enable reached GL";
  CachedDisable(kCapScissorTest);
  EXPECT_EQ(GlStateCache.enabled[kCapScissorTest], 0);
  MarkGlStateUnknown();
  glEnable(GL_SCISSOR_TEST);
  CachedDisable(kCapScissorTest);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "an unknown word must always reach GL";
}

}  // namespace
