// The window and context up and down: log lines, multisampling, overrides, failure.
#include "frame/graphics_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/process_globals.h"
#include "frame/default_font.h"
#include "frame/graphics_context.h"
#include "frame/window_procedure.h"
#include "tests/support/gl_fixture.h"

namespace {

std::string LogText(const TempDir& folder) {
  return TempDir::ReadBytes(folder.Child("ErrorLog.txt"));
}

std::vector<std::string> LogLines(const TempDir& folder) {
  std::istringstream text(LogText(folder));
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(text, line)) lines.push_back(line + "\n");
  return lines;
}

std::string TextureLimitLine() {
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return "Texture size limit: " + std::to_string(size) + "\n";
}

class GraphicsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    gltest::SharedContext();
    ResetGraphicsWindowGuardsForTests();
  }
  void TearDown() override {
    platform::test::OverrideGl({});
    platform::test::FailWindowCreation(false);
  }
  TempDir logFolder_{true};
};

TEST_F(GraphicsWindow, CreationLogsItsStepsAndWarnsAboutSoftwareRenderingOnce) {
  auto first = std::make_unique<OpenGLRainbows>();
  ASSERT_TRUE(CreateGraphicsWindow(*first, nullptr, 640, 480, 0, 30, 0))
      << platform::LastWindowError();
  const std::vector<std::string> expected = {
      "WIN32 init video\n",  "*** OpenGL Software Emulation - update driver!\n",
      "get accurate timer - 1st call\n", "flip - 1st call\n", "BGRA ext supported\n",
      TextureLimitLine(),    "init fbo\n", "2D VP\n", "OGRB init [OK]\n"};
  EXPECT_EQ(LogLines(logFolder_), expected);

  auto second = std::make_unique<OpenGLRainbows>();
  ASSERT_TRUE(CreateGraphicsWindow(*second, nullptr, 320, 200, 16, 0, 0));
  const std::vector<std::string> lines = LogLines(logFolder_);
  EXPECT_EQ(lines.size(), 2 * expected.size() - 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), expected[1]), 1);

  EXPECT_EQ(first->colourBits, 32) << "the desktop's depth, as Windows reports it";
  EXPECT_EQ(second->colourBits, 16);
  EXPECT_DOUBLE_EQ(second->msPerFrame, 2.0);
  EXPECT_GT(DesktopWidth, 0);
  EXPECT_EQ(platform::RegisteredWindowProcedure(), &MainWindowProc);
}

TEST_F(GraphicsWindow, EightSamplesRefusedEndsInAWorkingFourSampleWindow) {
  auto ctx = std::make_unique<OpenGLRainbows>();
  ASSERT_TRUE(CreateGraphicsWindow(*ctx, nullptr, 640, 480, 0, 60, 8));
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  EXPECT_EQ(samples, 4);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(gltest::ReadBackPixel(*ctx, 639, 479), (gltest::Rgba{0, 255, 0, 255}));
}

TEST_F(GraphicsWindow, OverridesReachTheBgraAndTextureSizeLines) {
  platform::test::OverrideGl({.noBgra = true, .maxTextureSize = 256});
  auto ctx = std::make_unique<OpenGLRainbows>();
  ASSERT_TRUE(CreateGraphicsWindow(*ctx, nullptr, 64, 64, 0, 60, 0));
  EXPECT_EQ(ctx->bgraSupported, 0);
  const std::string log = LogText(logFolder_);
  const size_t notSupported = log.find("BGRA ext NOT supported\nGL_");
  ASSERT_NE(notSupported, std::string::npos);
  const size_t textureLine = log.find("Texture size limit: 256\n");
  ASSERT_NE(textureLine, std::string::npos);
  EXPECT_LT(textureLine - notSupported, 1024u) << "the extension text is cut to its buffer";
  EXPECT_EQ(log.find("GL_EXT_bgra"), std::string::npos);
}

TEST_F(GraphicsWindow, RefusedWindowReturnsFalseWithNoHandle) {
  platform::test::FailWindowCreation(true);
  OpenGLRainbows ctx;
  EXPECT_FALSE(CreateGraphicsWindow(ctx, nullptr, 640, 480, 0, 60, 0));
  EXPECT_EQ(ctx.window, nullptr);
  EXPECT_EQ(LogLines(logFolder_), std::vector<std::string>{"WIN32 init video\n"});
}

TEST_F(GraphicsWindow, DestroyFreesSpritesAndPicturesButKeepsTheContext) {
  OpenGLRainbows ctx;
  ASSERT_TRUE(CreateGraphicsWindow(ctx, nullptr, 640, 480, 0, 60, 0));
  ASSERT_TRUE(CreateDefaultFont(ctx, 0));
  const GLuint fontTexture = ctx.sprites[kFirstFontSprite].texture;
  GLuint tile = 0;
  glGenTextures(1, &tile);
  glBindTexture(GL_TEXTURE_2D, tile);
  ctx.backgrounds[3].tiles[0] = tile;
  ctx.backgrounds[3].tilesA = ctx.backgrounds[3].tilesB = 1;

  DestroyGraphicsWindow(ctx);
  EXPECT_EQ(ctx.window, nullptr);
  EXPECT_NE(ctx.glContext, nullptr);
  EXPECT_EQ(ctx.sprites[kFirstFontSprite].texture, 0u);
  EXPECT_EQ(ctx.backgrounds[3].tiles[0], 0u);
  EXPECT_EQ(ctx.backgrounds[3].tilesA, 0);

  // The textures are gone from the context, which a new window takes over.
  ASSERT_TRUE(CreateGraphicsWindow(ctx, nullptr, 640, 480, 0, 60, 0));
  EXPECT_FALSE(glIsTexture(fontTexture));
  EXPECT_FALSE(glIsTexture(tile));
}

}  // namespace
