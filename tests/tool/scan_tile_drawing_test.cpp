// The scan on the screen: strips made into sprite 0, each tile drawn at the top-left and read
// back pixel by pixel, give the cells the headless scan gives.
#include "tool/scan_tile_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/screen_orientation.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/tool_fixture.h"

namespace {

class ScanOnScreen : public GlFixture {
 protected:
  TempDir tmp;

  void SetUp() override {
    GlFixture::SetUp();
    ResetToolStateForTests();
    MakeToolArrays();
  }
  void TearDown() override {
    FreeSprite(Context(), kStripSprite);
    ReleaseImage(image);
    ResetToolStateForTests();
  }

  // The strip as sprite 0; a pixel of `keyed` colour gets alpha 0, as the loader's colour key
  // leaves it.
  void MakeStripSprite(const StripImage& strip, uint32_t keyed) {
    ASSERT_TRUE(ResizeImage(image, strip.width, strip.height));
    for (size_t i = 0; i < strip.pixels.size(); ++i) {
      const uint32_t c = strip.pixels[i];
      const uint8_t rgba[4] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16),
                               uint8_t(c == keyed ? 0 : 255)};
      std::copy(rgba, rgba + 4, image.pixels + i * 4);
    }
    ASSERT_TRUE(CreateSpriteFromImage(Context(), kStripSprite, image, -1, false));
    SetSpriteSmoothing(Context(), 0);
  }

  TileReader ScreenReader(const ScanAnswers& answers) {
    return [this, answers](double tile) {
      OpenGLRainbows& ctx = Context();
      ClearScreenColour(ctx, 0);
      DrawScanTile(ctx, answers, tile);
      const int32_t columns = ScanLoopCount(answers.width), rows = ScanLoopCount(answers.height);
      block.assign(size_t(columns) * size_t(rows), 0);
      for (int32_t y = 0; y < rows; ++y) {
        for (int32_t x = 0; x < columns; ++x) {
          const gltest::Rgba p = gltest::ReadBackPixel(ctx, x, y);
          block[size_t(y) * size_t(columns) + size_t(x)] = p[0] | p[1] << 8 | p[2] << 16;
        }
      }
      return block.data();
    };
  }

  // The box's cells 0-20 on each axis, for comparing two scans.
  static std::vector<double> Box() {
    std::vector<double> cells;
    for (int32_t z = 0; z <= 20; ++z)
      for (int32_t y = 0; y <= 20; ++y)
        for (int32_t x = 0; x <= 20; ++x) cells.push_back(VoxelAt(x, y, z));
    return cells;
  }

  RgbaImage image;
  std::vector<uint32_t> block;
};

TEST_F(ScanOnScreen, DrawnTilesReadBackAsTheStripHoldsThem) {
  StripImage wide = TwoTileStrip();
  wide.At(13, 5) = 0x8000FF;  // keyed: transparent in the sprite, black on the screen
  StripImage tall(8, 16);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x) tall.At(x % 8, y + (x / 8) * 8) = wide.At(x, y);

  struct Case {
    StripImage* strip;
    double readType, layers, mirror;
  };
  for (const Case& c : {Case{&wide, 0, 2, 0}, Case{&tall, 1, 2, 0}, Case{&wide, 0, 3, 1}}) {
    SCOPED_TRACE(testing::Message() << "read type " << c.readType << " mirror " << c.mirror);
    ScanAnswers answers = TileAnswers(8, 8, c.layers, c.mirror);
    answers.readType = c.readType;
    MakeStripSprite(*c.strip, 0x8000FF);

    ResetToolStateForTests();
    MakeToolArrays();
    ScanTilesIntoVoxels(answers, c.strip->width, c.strip->height, ScreenReader(answers));
    const std::vector<double> onScreen = Box();
    EXPECT_EQ(ToolGlobals.PaletteCount, 3);

    ResetToolStateForTests();
    MakeToolArrays();
    StripImage expected = *c.strip;
    for (uint32_t& p : expected.pixels) p = p == 0x8000FF ? 0 : p;
    expected.Scan(answers);
    EXPECT_EQ(onScreen, Box());
  }
}

}  // namespace
