// Face generation on voxel boxes filled by hand or by the scan: the worked examples' files,
// merging and its limits, progress, and the surface the faces cover.
#include "tool/face_generation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "frame/runtime_objects.h"
#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"
#include "tests/support/fake_clock.h"
#include "tests/support/program_end.h"
#include "tests/support/sha256.h"
#include "tests/support/tool_fixture.h"
#include "tool/obj_mtl_writers.h"
#include "tool/palette.h"
#include "tool/vox_writer.h"

namespace {

// One face as the OBJ lists hold it, with the rectangle's bounds and its material's index.
struct ObjFace {
  double corner[4][3];
  double uv[4][2];
  double low[3], high[3];
  double index;
};

// The box's faces go into object 1 of a scene without a window.
class FaceGeneration : public ToolTest {
 protected:
  std::unique_ptr<Rainbows3D> scene = std::make_unique<Rainbows3D>(nullptr);
  Rainbows3D* previousScene = nullptr;

  void SetUp() override {
    ToolTest::SetUp();
    previousScene = SceneObject;
    SceneObject = scene.get();
  }
  void TearDown() override {
    SceneObject = previousScene;
    BuildObjectIndex = -1;
    ToolTest::TearDown();
  }

  static void Box(double size, double layers) {
    ToolGlobals.GridSizeX = ToolGlobals.GridSizeY = size;
    ToolGlobals.GridSizeZ = layers;
  }
  static void Solid(double x, double y, double z, double index) { VoxelAt(x, y, z) = index; }

  // Runs the face generation for output `name`; what it printed to standard output.
  static std::string Generate(double reduce, const char* name = "out") {
    ToolGlobals.ReduceFaces = reduce;
    testing::internal::CaptureStdout();
    GenerateFaces(StrValue(name), 1);
    return testing::internal::GetCapturedStdout();
  }

  static int32_t FaceCount() { return ToolGlobals.ObjFaceLines.Count(); }

  static std::vector<ObjFace> Faces() {
    ToolState& g = ToolGlobals;
    std::vector<ObjFace> faces(static_cast<size_t>(FaceCount()));
    for (int32_t f = 0; f < FaceCount(); ++f) {
      ObjFace& face = faces[size_t(f)];
      for (int32_t c = 0; c < 4; ++c) {
        for (int32_t a = 0; a < 3; ++a) {
          face.corner[c][a] = g.ObjPositions.At(12 * f + 3 * c + a);
          face.low[a] = c == 0 ? face.corner[c][a] : std::min(face.low[a], face.corner[c][a]);
          face.high[a] = c == 0 ? face.corner[c][a] : std::max(face.high[a], face.corner[c][a]);
        }
        for (int32_t a = 0; a < 2; ++a)
          face.uv[c][a] = g.ObjTexCoords.At(8 * f + 2 * c + a);
      }
      face.index = g.ObjMaterialLines.At(f);
    }
    return faces;
  }

  // The "<frame> <records>" lines of a model of `faces` faces built after its start marker.
  static std::string VertexLines(int32_t faces) {
    std::string lines;
    for (int32_t f = 0; f < faces; ++f) {
      for (int32_t c = 0; c < 4; ++c) lines += "0 " + std::to_string(3 + 5 * f + c) + "\n";
    }
    return lines;
  }
};

class WorkedExamples : public FaceGeneration, public testing::WithParamInterface<double> {};

TEST_P(WorkedExamples, OneVoxelGivesTheSameGoldenFilesWithEitherAnswer) {
  PaletteAddColor(kRed);
  Box(8, 1);
  Solid(1, 1, 1, 1);
  ToolGlobals.OutputName = "one";
  EXPECT_EQ(Generate(GetParam(), "one"), VertexLines(6));
  WriteObjFile();
  const std::string obj = ReadOutput("one.obj");
  EXPECT_EQ(obj.size(), 1181u);
  EXPECT_EQ(Sha256Hex(obj), "5b2f960722494a21f8bf0c9a94c2c5f65990e9f4056ee22abb00c67493b47db8");
  EXPECT_EQ(ReadOutput("one.kmo").size(), 718u);
}

TEST_P(WorkedExamples, TwoTileStripGivesItsGoldenObjAndModel) {
  const bool merged = GetParam() == 1;
  TwoTileStrip().Scan(TileAnswers(8, 8, 2));
  ToolGlobals.OutputName = "out";
  EXPECT_EQ(Generate(GetParam()), VertexLines(merged ? 24 : 26));
  EXPECT_EQ(ToolGlobals.SkipCountX + ToolGlobals.SkipCountZ, 0);
  WriteObjFile();
  const std::string obj = ReadOutput("out.obj");
  EXPECT_EQ(obj.size(), merged ? 4646u : 5027u);
  EXPECT_EQ(Sha256Hex(obj),
            merged ? "d1ebf90a3bb00ba7fd49f9d7a83ef746e4d05d72a8363e0ff05e1ac939be24db"
                   : "09b144447fb0275c397097356633d36213aaa7978d07d4cb96ce681dc988910c");
  EXPECT_EQ(ReadOutput("out.kmo").size(), merged ? 2706u : 2926u);
}

// A model, OBJ or VOX file that cannot be written ends the run with status 1, after naming the
// file and the system's reason on standard error.
TEST_F(FaceGeneration, UnwrittenFilesEndTheRunNamingTheFileAndWhy) {
  PaletteAddColor(kRed);
  Box(8, 1);
  Solid(1, 1, 1, 1);
  const std::string longName(5000, 'n');
  for (const auto& [name, reason] : {std::pair<std::string, std::string>{"missing/one",
                                                                         "No such file or directory"},
                                     {longName, "File name too long"}}) {
    ToolGlobals.OutputName = name.c_str();
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const int saved = EndStatusOf([&] { GenerateFaces(StrValue(name.c_str()), 1); });
    testing::internal::GetCapturedStdout();
    const int obj = EndStatusOf(WriteObjFile), vox = EndStatusOf(WriteVoxFile);
    EXPECT_EQ(std::vector<int>({saved, obj, vox}), std::vector<int>({1, 1, 1}));
    std::string expected;
    for (const char* extension : {".kmo", ".obj", ".vox"}) {
      expected += "Cannot write " + name + extension + ": " + reason + "\n";
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
  }
}

// Only an answer of exactly 1 merges neighbouring faces.
INSTANTIATE_TEST_SUITE_P(ReduceAnswers, WorkedExamples, testing::Values(0.0, 1.0, 2.0));

// A z-run stops at the smaller of the box size and the layer count, whatever lies beyond. The
// -x and +x faces of a red and a green column, as (first z, run length).
TEST_F(FaceGeneration, RunsAlongZStopAtTheLastLayerAndAtTheBoxSize) {
  using Runs = std::vector<std::pair<double, double>>;
  struct Case {
    double size, layers;
    Runs runs;
  };
  const Case cases[] = {
      {8, 2, {{1, 2}}},                  // the column's cells past the last layer are not visited
      {2, 4, {{1, 2}, {3, 1}, {4, 1}}},  // more layers than the box size
      {8, 4, {{1, 4}}},
  };
  PaletteAddColor(kRed);
  PaletteAddColor(kGreen);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " " << c.layers);
    MakeToolArrays();
    for (double z = 1; z <= 4; ++z) {
      Solid(1, 1, z, 1);
      Solid(2, 2, z, 2);
    }
    Box(c.size, c.layers);
    Generate(1);
    const double half = std::trunc(c.size / 2);
    std::map<std::pair<double, double>, Runs> sides;  // (index, plane x) -> runs
    for (const ObjFace& face : Faces()) {
      if (face.low[0] != face.high[0]) continue;
      sides[{face.index, face.low[0] + half}].push_back(
          {face.low[2] + half, face.high[2] - face.low[2]});
    }
    using Side = std::pair<std::pair<double, double>, Runs>;
    EXPECT_EQ(sides, (std::map<std::pair<double, double>, Runs>{
                         Side{{1, 1}, c.runs}, Side{{1, 2}, c.runs}, Side{{2, 2}, c.runs},
                         Side{{2, 3}, c.runs}}));
    EXPECT_EQ(ToolGlobals.SkipCountX + ToolGlobals.SkipCountZ, 0);
  }
}

std::vector<std::pair<std::string, int32_t>> gBars;

void RecordText(const Str& text, double, double) {
  gBars.push_back({std::string(text.data, text.length), -1});
}
void RecordBar(int32_t, int32_t, int32_t width, int32_t, uint32_t) {
  gBars.back().second = width;
}
void NoFrame() {}

TEST_F(FaceGeneration, EmptyBoxShowsEveryPassAndWritesNoModelFile) {
  FakeClockScope clock(1000, 16);
  gBars.clear();
  ToolScreen screen{};
  screen.printText = RecordText;
  screen.drawRect = RecordBar;
  screen.showScreen = NoFrame;
  InstallToolScreen(screen);
  Box(8, 2);
  EXPECT_EQ(Generate(1), "");
  std::vector<std::pair<std::string, int32_t>> expected;
  for (int32_t width : {0, 128, 256, 384, 512, 640})
    expected.push_back({"Generating faces...", width});
  EXPECT_EQ(gBars, expected);
  EXPECT_EQ(FaceCount(), 0);
  EXPECT_EQ(ToolGlobals.ObjPositions.Count(), 0);
  EXPECT_FALSE(std::filesystem::exists(tmp.Child("out.kmo")));
  EXPECT_EQ(scene->objects[1].inUse, 0);
}

// On random boxes the faces cover exactly the boundary between solid and empty cells: each face
// an axis-aligned rectangle one voxel wide, wound towards its solid voxel, in that voxel's
// material, its texture values the position over the box size; no unit face twice, none missing.
class SurfaceOfRandomBoxes
    : public FaceGeneration,
      public testing::WithParamInterface<std::tuple<double, double, double, uint32_t>> {
 protected:
  double size = 0, layers = 0, half = 0;

  void Fill(uint32_t seed) {
    std::mt19937 random(seed);
    for (uint32_t colour : {kRed, kGreen, kBlue}) PaletteAddColor(colour);
    for (double z = 1; z <= layers; ++z) {
      for (double y = 1; y <= size; ++y) {
        for (double x = 1; x <= size; ++x) {
          // Three in eight empty; runs of one index so that merging has work to do.
          const uint32_t roll = random() % 8;
          Solid(x, y, z, roll < 3 ? 0 : roll < 7 ? 1 : 1 + random() % 3);
        }
      }
    }
  }

  int32_t ExposedUnitFaces() const {
    int32_t count = 0;
    const int32_t steps[6][3] = {{0, 0, -1}, {0, 0, 1},  {0, 1, 0},
                                 {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};
    for (double z = 1; z <= layers; ++z) {
      for (double y = 1; y <= size; ++y) {
        for (double x = 1; x <= size; ++x) {
          if (VoxelAt(x, y, z) == 0) continue;
          for (const auto& s : steps) count += VoxelAt(x + s[0], y + s[1], z + s[2]) == 0;
        }
      }
    }
    return count;
  }

  // +1 when the strip's first triangle faces along +axis, -1 along -axis.
  static double Winding(const ObjFace& face, int32_t axis) {
    const auto& c = face.corner;
    const int32_t a = (axis + 1) % 3, b = (axis + 2) % 3;
    const double cross =
        (c[1][a] - c[0][a]) * (c[2][b] - c[0][b]) - (c[1][b] - c[0][b]) * (c[2][a] - c[0][a]);
    return std::copysign(1.0, cross);
  }

  void ExpectTextureFollowsPosition(const ObjFace& face, int32_t axis) const {
    // u and v follow x and y across z faces, x and z across y faces, z and y across x faces.
    const int32_t uAxis = axis == 0 ? 2 : 0, vAxis = axis == 1 ? 2 : 1;
    for (int32_t c = 0; c < 4; ++c) {
      EXPECT_EQ(face.uv[c][0], (face.corner[c][uAxis] + half - 1) / size);
      EXPECT_EQ(face.uv[c][1], (face.corner[c][vAxis] + half - 1) / size);
    }
  }
};

TEST_P(SurfaceOfRandomBoxes, FacesCoverEachExposedUnitFaceOnce) {
  const auto [boxSize, boxLayers, reduce, seed] = GetParam();
  size = boxSize;
  layers = boxLayers;
  half = std::trunc(size / 2);
  Box(size, layers);
  Fill(seed);
  Generate(reduce);
  const std::vector<ObjFace> faces = Faces();
  std::set<std::array<double, 5>> covered;  // axis, side, solid cell
  for (const ObjFace& face : faces) {
    int32_t axis = 0;
    while (axis < 3 && face.low[axis] != face.high[axis]) ++axis;
    ASSERT_LT(axis, 3);
    const int32_t a = (axis + 1) % 3, b = (axis + 2) % 3;
    EXPECT_TRUE(face.high[a] - face.low[a] == 1 || face.high[b] - face.low[b] == 1);
    const double inward = Winding(face, axis);
    for (double i = face.low[a]; i < face.high[a]; ++i) {
      for (double j = face.low[b]; j < face.high[b]; ++j) {
        double solid[3], empty[3];
        solid[a] = empty[a] = i + half;
        solid[b] = empty[b] = j + half;
        solid[axis] = face.low[axis] + half + (inward > 0 ? 0 : -1);
        empty[axis] = solid[axis] - inward;
        EXPECT_EQ(VoxelAt(solid[0], solid[1], solid[2]), face.index);
        EXPECT_EQ(VoxelAt(empty[0], empty[1], empty[2]), 0);
        EXPECT_TRUE(covered.insert({double(axis), inward, solid[0], solid[1], solid[2]}).second);
      }
    }
    ExpectTextureFollowsPosition(face, axis);
  }
  EXPECT_EQ(int32_t(covered.size()), ExposedUnitFaces());
  if (reduce == 1) {
    EXPECT_LT(faces.size(), covered.size());
  }
  EXPECT_EQ(ToolGlobals.ObjNormals.Count(), 12 * FaceCount());
  EXPECT_EQ(ToolGlobals.NextObjVertex, 4 * FaceCount() + 1);
}

INSTANTIATE_TEST_SUITE_P(BoxesAndAnswers, SurfaceOfRandomBoxes,
                         testing::Values(std::tuple{6.0, 5.0, 0.0, 1u},
                                         std::tuple{6.0, 5.0, 1.0, 1u},
                                         std::tuple{5.0, 7.0, 1.0, 2u},
                                         std::tuple{5.0, 7.0, 0.0, 2u},
                                         std::tuple{4.0, 1.0, 1.0, 3u}));

}  // namespace
