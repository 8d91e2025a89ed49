// The polygon batch, texture binding and the untextured primitives, drawn and read back.
#include "gfx2d/polygon_batch.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "frame/gl_extensions.h"
#include "gfx2d/primitives.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/gfx2d/screen_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

using gltest::ReadBackPixel;
using gltest::Rgba;

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

class DrawTest : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override {
    FreeSprite(Context(), 0);
    FreeSprite(Context(), 1);
    Context().drawAlpha = 1.0f;
    SetSpriteSmoothing(Context(), 1);
  }

  // The set of lit pixels in the rectangle (0, 0)-(w, h).
  std::set<std::pair<int, int>> LitPixels(int w, int h) {
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (ReadBackPixel(Context(), x, y) != kBlack) lit.insert({x, y});
    return lit;
  }
  static std::set<std::pair<int, int>> Rect(int x, int y, int w, int h) {
    std::set<std::pair<int, int>> pixels;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) pixels.insert({i, j});
    return pixels;
  }
  void ExpectColourCacheWhite() {
    EXPECT_TRUE(GlStateCache.colourKnown);
    const float expected[4] = {1, 1, 1, Context().drawAlpha};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(GlStateCache.colour[c], expected[c]);
  }
};

TEST_F(DrawTest, TileDrawReadsBackExactly) {
  OpenGLRainbows& ctx = Context();
  constexpr int kW = 24, kH = 10;
  ScopedImage image(kW, kH, gltest::PatternPixels(kW, kH));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 0, image.image, -1, false));
  struct Case {
    int32_t smoothing;
    bool colouredPolygonFirst;
  };
  for (const Case& c : {Case{0, false}, Case{1, false}, Case{0, true}, Case{1, true}}) {
    SCOPED_TRACE(testing::Message()
                 << "smoothing " << c.smoothing << " coloured " << c.colouredPolygonFirst);
    ResetRenderState(ctx);
    glClear(GL_COLOR_BUFFER_BIT);
    SetSpriteSmoothing(ctx, c.smoothing);
    if (c.colouredPolygonFirst) {
      StartPolygon(ctx, -1, kTriangles);
      AddPolygonVertex(ctx, 100, 100, 0, 0, 0x0000FF);
      AddPolygonVertex(ctx, 140, 100, 0, 0, 0x00FF00);
      AddPolygonVertex(ctx, 100, 140, 0, 0, 0x0000FF);
      EndPolygon(ctx);
    }
    gltest::DrawTexelStrip(ctx, 0, 0, 0, kW, kH);  // the tool's tile draw
    int mismatches = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &image.image.pixels[(y * kW + x) * 4];
        const Rgba expected{p[0], p[1], p[2], 255};
        if (ReadBackPixel(ctx, x, y) != expected && ++mismatches < 4)
          ADD_FAILURE() << "pixel " << x << ", " << y;
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST_F(DrawTest, StripsJoinByRepeatingTheirEndVertices) {
  OpenGLRainbows& ctx = Context();
  StartPolygon(ctx, -1, kTriangleStrip);
  NewPolygonStrip();  // on an empty batch: nothing
  EXPECT_EQ(PolygonBatchCount(), 0);
  AddPolygonVertex(ctx, 1, 0, 0, 0, kNoVertexColour);
  AddPolygonVertex(ctx, 2, 0, 0, 0, kNoVertexColour);
  NewPolygonStrip();
  NewPolygonStrip();  // twice: one join
  AddPolygonVertex(ctx, 3, 0, 0, 0, kNoVertexColour);
  AddPolygonVertex(ctx, 4, 0, 0, 0, kNoVertexColour);
  std::vector<float> xs;
  for (int i = 0; i < PolygonBatchCount(); ++i) xs.push_back(PolygonBatchVertices()[i].x);
  EXPECT_EQ(xs, (std::vector<float>{1, 2, 2, 3, 3, 4}));
}

TEST_F(DrawTest, VertexAlphaFollowsTheTransparentColourAndTheDrawAlpha) {
  OpenGLRainbows& ctx = Context();
  struct Case {
    float drawAlpha;
    uint32_t colour;
    uint8_t alpha;
  };
  const Case cases[] = {{1.0f, 0x123456, 255},
                        {0.5f, 0x123456, 127},
                        {0.5f, kNoVertexColour, 127},
                        {1.0f, ctx.transparentColour, 0},
                        {0.999f, 0x000001, 254}};
  for (const Case& c : cases) {
    ctx.drawAlpha = c.drawAlpha;
    StartPolygon(ctx, -1, kTriangleFan);
    AddPolygonVertex(ctx, 0, 0, 0, 0, c.colour);
    const PolygonVertex& v = PolygonBatchVertices()[0];
    EXPECT_EQ(v.a, c.alpha) << c.drawAlpha << " " << c.colour;
    if (c.colour != kNoVertexColour) {
      EXPECT_EQ(v.r, c.colour & 0xFF);
    }
  }
}

TEST_F(DrawTest, UnknownPrimitiveModeDrawsNothing) {
  OpenGLRainbows& ctx = Context();
  StartPolygon(ctx, -1, 3);
  AddPolygonVertex(ctx, 0, 0, 0, 0, 0xFFFF00);
  AddPolygonVertex(ctx, 50, 0, 0, 0, 0xFFFF00);
  AddPolygonVertex(ctx, 0, 50, 0, 0, 0xFFFF00);
  EndPolygon(ctx);
  EXPECT_EQ(ReadBackPixel(ctx, 5, 5), kBlack);
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  ExpectColourCacheWhite();
}

TEST_F(DrawTest, TwoSpritesLieOnUnitsOneAndZeroAndANegativeFirstUntexturesBoth) {
  OpenGLRainbows& ctx = Context();
  ASSERT_NE(GlExtensionTable.glActiveTextureARB, nullptr);
  ScopedImage one(1, 1, std::string{1, 2, 3, char(255)});
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 0, one.image, -1, false));
  ASSERT_TRUE(CreateSpriteFromImage(ctx, 1, one.image, -1, false));
  auto unit = [](GLenum u, GLint* binding) {
    GlExtensionTable.glActiveTextureARB(u);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, binding);
    const bool on = glIsEnabled(GL_TEXTURE_2D);
    GlExtensionTable.glActiveTextureARB(GL_TEXTURE0_ARB);
    return on;
  };
  GLint b0 = 0, b1 = 0;
  BindSpriteTextures(ctx, 0, 1, 0, nullptr);
  EXPECT_TRUE(unit(GL_TEXTURE0_ARB, &b0));
  EXPECT_TRUE(unit(GL_TEXTURE1_ARB, &b1));
  EXPECT_EQ(uint32_t(b0), ctx.sprites[1].texture);
  EXPECT_EQ(uint32_t(b1), ctx.sprites[0].texture);
  BindSpriteTextures(ctx, 0, -1, 1, nullptr);
  EXPECT_TRUE(unit(GL_TEXTURE0_ARB, &b0));
  EXPECT_FALSE(unit(GL_TEXTURE1_ARB, &b1));
  EXPECT_EQ(uint32_t(b0), ctx.sprites[0].mipmappedTexture);
  BindSpriteTextures(ctx, -1, 1, 0, nullptr);
  EXPECT_FALSE(unit(GL_TEXTURE0_ARB, &b0));
  EXPECT_FALSE(unit(GL_TEXTURE1_ARB, &b1));
  EXPECT_EQ(GlStateCache.boundSprite, -1);
  BindSpriteTextures(ctx, kSpriteCount + 5, -1, 0, nullptr);  // binds no texture, reads nothing
  EXPECT_TRUE(unit(GL_TEXTURE0_ARB, &b0));
  EXPECT_EQ(b0, 0);
  BindSpriteTextures(ctx, -1, -1, 0, nullptr);
}

TEST_F(DrawTest, FillRectWithNegativeSizesCoversTheSamePixels) {
  OpenGLRainbows& ctx = Context();
  FillRect(ctx, 10, 10, -3, -2, 0xFFFFFF);
  EXPECT_EQ(LitPixels(16, 16), Rect(8, 9, 3, 2));
  EXPECT_EQ(ReadBackPixel(ctx, 8, 9), kWhite);
  ExpectColourCacheWhite();
}

TEST_F(DrawTest, LinesSetTheirEndPixelAndPointsTheirOwn) {
  OpenGLRainbows& ctx = Context();
  DrawLine(ctx, 0, 0, 0, 0, 0x0000FF);
  EXPECT_EQ(LitPixels(4, 4), Rect(0, 0, 1, 1));
  EXPECT_EQ(ReadBackPixel(ctx, 0, 0), (Rgba{255, 0, 0, 255}));
  glClear(GL_COLOR_BUFFER_BIT);
  DrawLine(ctx, 2, 5, 9, 5, 0xFFFFFF);
  EXPECT_EQ(LitPixels(16, 16), Rect(2, 5, 8, 1));
  glClear(GL_COLOR_BUFFER_BIT);
  DrawPoint(ctx, 7, 3, 0xFFFFFF);
  EXPECT_EQ(LitPixels(16, 16), Rect(7, 3, 1, 1));
  ExpectColourCacheWhite();
}

TEST_F(DrawTest, TheTransparentColourDrawsNothingUnderTheAlphaTest) {
  OpenGLRainbows& ctx = Context();
  const uint32_t key = ctx.transparentColour;
  DrawPoint(ctx, 3, 3, key);
  DrawLine(ctx, 0, 6, 10, 6, key);
  FillRect(ctx, 0, 8, 5, 5, key);
  EXPECT_TRUE(LitPixels(16, 16).empty());
  ExpectColourCacheWhite();
}

}  // namespace
