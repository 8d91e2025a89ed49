// The scene's GL side: ramp textures, shader slots and the deletion of every GL object.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/cycle_services.h"
#include "frame/gl_extensions.h"
#include "gfx2d/primitives.h"
#include "gfx3d/mesh_gpu.h"
#include "gfx3d/scene.h"
#include "gfx3d/shader_slots.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/memory_file.h"
#include "tests/support/temp_dir.h"

namespace {

using gltest::ReadBackPixel;
using gltest::Rgba;

std::vector<std::string> printed;
void Collect(const char* text) {
  printed.emplace_back(text);
}

const char kVertexSource[] = "void main() { gl_Position = ftransform(); }\n";
const char kGreenSource[] = "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";
const char kLevelSource[] =
    "uniform float level;\n"
    "void main() { gl_FragColor = vec4(level, 0.0, 0.0, 1.0); }\n";
const char kBrokenSource[] = "void main() { this is not glsl }\n";

class SceneGl : public GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    printed.clear();
    scene = new Rainbows3D(&Context());
  }
  void TearDown() override {
    UseShaderSlot(*scene, -1);
    delete scene;
  }
  std::string Source(const char* name, const char* text) {
    const std::string path = dir.Child(name);
    TempDir::WriteBytes(path, text);
    return path;
  }
  Rgba FilledPixel(uint32_t colour) {
    FillRect(Context(), 10, 10, 20, 20, colour);
    return ReadBackPixel(Context(), 20, 20);
  }

  TempDir dir;
  Rainbows3D* scene = nullptr;
};

TEST_F(SceneGl, RampTextureHoldsTheRampBlockWithAndWithoutBgra) {
  MeshObjectX part;
  for (uint32_t colour : {kBreakStrip, 0x000000FFu, 0x0000FF00u}) part.colourTable.Append(colour);
  int width = 0, height = 0;
  const std::vector<uint8_t> expected = CelRampBlock(part, false, width, height);
  for (bool bgra : {true, false}) {
    SCOPED_TRACE(bgra);
    MakeCelRampTexture(part, bgra);
    ASSERT_NE(part.rampTexture, 0u);
    EXPECT_FLOAT_EQ(part.rampRowStep, 0.25f);
    std::vector<uint8_t> read(expected.size());
    glBindTexture(GL_TEXTURE_2D, part.rampTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    EXPECT_EQ(read, expected);
    const uint32_t texture = part.rampTexture;
    scene->objects[0].parts.Append(std::move(part));
    SetCelRamp(*scene, CelRamp.data(), CelRamp.count());
    EXPECT_FALSE(glIsTexture(texture));
    part = std::move(scene->objects[0].parts[0]);
    scene->objects[0].parts.Clear(false);
    EXPECT_EQ(part.rampTexture, 0u);
  }
  CelRamp.Clear(true);
}

TEST_F(SceneGl, ConstantColourShaderAndTheFixedPipeline) {
  ASSERT_TRUE(LoadShaderSlot(*scene, 7, Source("v.vert", kVertexSource).c_str(),
                             Source("g.frag", kGreenSource).c_str(), Collect));
  UseShaderSlot(*scene, 7);
  EXPECT_EQ(FilledPixel(0x0000FF), (Rgba{0, 255, 0, 255}));
  for (int32_t fixed : {255, -1}) {
    UseShaderSlot(*scene, 7);
    UseShaderSlot(*scene, fixed);
    EXPECT_EQ(scene->currentShaderSlot, -1);
    EXPECT_EQ(FilledPixel(0x0000FF), (Rgba{255, 0, 0, 255}));
  }
  // The frame end goes back to the fixed pipeline and drops the second texture.
  UseShaderSlot(*scene, 7);
  SceneTextureChoice.secondTextureFlag = 1;
  Cycle().useShaderSlot(scene, -1);
  Cycle().setSecondTextureFlag(0);
  GLint program = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  EXPECT_EQ(program, 0);
  EXPECT_EQ(SceneTextureChoice.secondTextureFlag, 0);
  EXPECT_TRUE(printed.empty());
}

TEST_F(SceneGl, UniformsByNameFromAMemoryFile) {
  MemoryFile fragment(kLevelSource);
  ASSERT_TRUE(LoadShaderSlot(*scene, 0, nullptr, fragment.name.c_str(), Collect));
  SetShaderUniform(*scene, "level", 1.0f, Collect);  // no slot current: nothing at all
  EXPECT_TRUE(printed.empty());
  UseShaderSlot(*scene, 0);
  SetShaderUniform(*scene, "level", 1.0f, Collect);
  EXPECT_EQ(FilledPixel(0xFFFFFF), (Rgba{255, 0, 0, 255}));
  SetShaderUniform(*scene, "levle", 0.5f, Collect);
  SetShaderAttrib(*scene, "weight", 0.5f, Collect);
  EXPECT_EQ(printed, (std::vector<std::string>{"undefined uniform:", "levle",
                                               "undefined attrib:", "weight"}));
}

TEST_F(SceneGl, CompileFailuresAreReportedAndOnlyTheLastStageDecidesTheLink) {
  const std::string broken = Source("b.glsl", kBrokenSource);
  const std::string green = Source("g.frag", kGreenSource);
  EXPECT_FALSE(LoadShaderSlot(*scene, 1, broken.c_str(), nullptr, Collect));
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_FALSE(printed[0].empty());  // the compiler's log
  EXPECT_EQ(printed[1], "vertex shader failed");
  EXPECT_EQ(scene->shaderSlots[1].program, 0u);

  printed.clear();
  LoadShaderSlot(*scene, 1, broken.c_str(), green.c_str(), Collect);
  EXPECT_NE(scene->shaderSlots[1].program, 0u);

  printed.clear();
  EXPECT_FALSE(LoadShaderSlot(*scene, 2, green.c_str(), broken.c_str(), Collect));
  EXPECT_EQ(printed.back(), "fragment shader failed");
  EXPECT_EQ(scene->shaderSlots[2].program, 0u);

  EXPECT_FALSE(LoadShaderSlot(*scene, 255, green.c_str(), green.c_str(), Collect));
  EXPECT_FALSE(LoadShaderSlot(*scene, -1, green.c_str(), green.c_str(), Collect));
  EXPECT_FALSE(LoadShaderSlot(*scene, 3, dir.Child("missing").c_str(), nullptr, Collect));
}

TEST_F(SceneGl, WithoutShaderSupportTheMessageComesOnce) {
  const GlExtensionSlots saved = GlExtensionTable;
  GlExtensionTable.glCreateShaderObjectARB = nullptr;
  ResetShaderSupportMessage();
  const std::string green = Source("g.frag", kGreenSource);
  EXPECT_FALSE(LoadShaderSlot(*scene, 0, nullptr, green.c_str(), Collect));
  EXPECT_FALSE(LoadShaderSlot(*scene, 0, nullptr, green.c_str(), Collect));
  GlExtensionTable = saved;
  EXPECT_EQ(printed, std::vector<std::string>{"No OpenGL 2.0 Shader Support"});
}

TEST_F(SceneGl, DeletingTheSceneDeletesItsGlObjectsWhileTheContextLives) {
  ObjectSlot& slot = scene->objects[4095];
  uint32_t owned = 0;
  glGenTextures(1, &owned);
  glBindTexture(GL_TEXTURE_2D, owned);
  slot.textures.Append(owned);
  MeshObjectX part;
  part.colourTable.Append(0x000000FF);
  MakeCelRampTexture(part, false);
  glGenBuffers(1, &part.staticBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, part.staticBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  const uint32_t ramp = part.rampTexture, buffer = part.staticBuffer;
  slot.parts.Append(std::move(part));
  ASSERT_TRUE(
      LoadShaderSlot(*scene, 254, nullptr, Source("g.frag", kGreenSource).c_str(), Collect));
  const uint32_t program = scene->shaderSlots[254].program;
  ASSERT_TRUE(glIsTexture(owned) && glIsTexture(ramp) && glIsBuffer(buffer) &&
              glIsProgram(program));

  delete scene;
  scene = new Rainbows3D(&Context());
  EXPECT_FALSE(glIsTexture(owned));
  EXPECT_FALSE(glIsTexture(ramp));
  EXPECT_FALSE(glIsBuffer(buffer));
  EXPECT_FALSE(glIsProgram(program));
  EXPECT_EQ(Context().scene, scene);
  CelRamp.Clear(true);
}

}  // namespace
