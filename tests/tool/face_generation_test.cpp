// Face generation and the face emitter on voxel boxes filled by hand or by the scan: the worked
// examples' files, merging and its limits, progress, and the surface the faces cover.
#include "tool/face_generation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "frame/runtime_objects.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/model_building.h"
#include "gfx3d/scene.h"
#include "tests/support/fake_clock.h"
#include "tests/support/sha256.h"
#include "tests/support/tool_fixture.h"
#include "tool/obj_mtl_writers.h"
#include "tool/palette.h"
#include "tool/voxel_face_emitter.h"

namespace {

// One face as the OBJ lists hold it.
struct ObjFace {
  std::array<std::array<double, 3>, 4> corner;
  std::array<std::array<double, 2>, 4> uv;
  std::string material;
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

  static int32_t FaceCount() { return ArrayDimSize(ToolGlobals.ObjFaceLines, 0); }

  static std::vector<ObjFace> Faces() {
    ToolState& g = ToolGlobals;
    std::vector<ObjFace> faces(static_cast<size_t>(FaceCount()));
    for (int32_t f = 0; f < FaceCount(); ++f) {
      for (int32_t c = 0; c < 4; ++c) {
        const int32_t vertex = 4 * f + c;
        for (int32_t a = 0; a < 3; ++a) {
          faces[f].corner[c][a] = ToolNumberAt(g.ObjPositions, 3 * vertex + a);
        }
        for (int32_t a = 0; a < 2; ++a)
          faces[f].uv[c][a] = ToolNumberAt(g.ObjTexCoords, 2 * vertex + a);
      }
      const Str& material = ToolStringAt(g.ObjMaterialLines, f);
      faces[f].material.assign(material.data, material.length);
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

std::string Lines(const std::string& text, size_t first, size_t count) {
  std::istringstream in(text);
  std::string line, out;
  for (size_t i = 0; std::getline(in, line) && i < first + count; ++i) {
    if (i >= first) out += line + "\n";
  }
  return out;
}

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
  EXPECT_EQ(ToolGlobals.SkipCountX, 0);
  EXPECT_EQ(ToolGlobals.SkipCountZ, 0);
  WriteObjFile();
  const std::string obj = ReadOutput("out.obj");
  // The first face covers the two red voxels of the top row: its far corners sit two voxels
  // along in space and in texture space.
  EXPECT_EQ(Lines(obj, 4, 4), merged ? "v -1 -3 -3\r\nv -1 -2 -3\r\nv -3 -3 -3\r\nv -3 -2 -3\r\n"
                                     : "v -2 -3 -3\r\nv -2 -2 -3\r\nv -3 -3 -3\r\nv -3 -2 -3\r\n");
  EXPECT_EQ(obj.size(), merged ? 4646u : 5027u);
  EXPECT_EQ(Sha256Hex(obj),
            merged ? "d1ebf90a3bb00ba7fd49f9d7a83ef746e4d05d72a8363e0ff05e1ac939be24db"
                   : "09b144447fb0275c397097356633d36213aaa7978d07d4cb96ce681dc988910c");

  MeshObject model;
  ASSERT_EQ(LoadKmoModel(model, "out.kmo"), 1);
  EXPECT_EQ(ReadOutput("out.kmo").size(), merged ? 2706u : 2926u);
  ASSERT_EQ(model.frames.count(), 1);
  EXPECT_EQ(model.frames[0].buildStream.count(), merged ? 121 : 131);
  EXPECT_EQ(model.colourTable.count(), 4);
}

INSTANTIATE_TEST_SUITE_P(ReduceAnswers, WorkedExamples, testing::Values(0.0, 1.0));

// The model file holds the OBJ vertices in order, as floats with v negated, each in the colour
// of its face's material; markers open every face.
TEST_F(FaceGeneration, ModelFileHoldsTheObjVerticesInTheirMaterialColours) {
  TwoTileStrip().Scan(TileAnswers(8, 8, 2));
  Generate(1);
  MeshObject model;
  ASSERT_EQ(LoadKmoModel(model, "out.kmo"), 1);
  const GrowArray<MeshVertex>& records = model.frames[0].buildStream;
  const std::vector<ObjFace> faces = Faces();
  ASSERT_EQ(records.count(), 1 + 5 * int32_t(faces.size()));
  for (size_t f = 0; f < faces.size(); ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(records[int32_t(1 + 5 * f)].colour, kBreakStrip);
    const double index = std::stod(faces[f].material.substr(faces[f].material.size() - 2));
    for (int32_t c = 0; c < 4; ++c) {
      const MeshVertex& vertex = records[int32_t(2 + 5 * f) + c];
      const Vec3 expected{float(faces[f].corner[c][0]), float(faces[f].corner[c][1]),
                          float(faces[f].corner[c][2])};
      EXPECT_TRUE(vertex.position.x == expected.x && vertex.position.y == expected.y &&
                  vertex.position.z == expected.z);
      EXPECT_EQ(vertex.u, float(faces[f].uv[c][0]));
      EXPECT_EQ(vertex.v, -float(faces[f].uv[c][1]));
      EXPECT_TRUE(std::signbit(vertex.v));
      EXPECT_EQ(vertex.colour, uint32_t(ToolNumberAt(ToolGlobals.PaletteColors, index)));
    }
  }
}

TEST_F(FaceGeneration, NeighboursAlongXShareTheirFacesOnlyWhenMerging) {
  for (double reduce : {0.0, 1.0, 2.0}) {
    SCOPED_TRACE(reduce);
    MakeToolArrays();
    PaletteAddColor(kRed);
    Box(8, 1);
    Solid(3, 4, 1, 1);
    Solid(4, 4, 1, 1);
    Generate(reduce);
    EXPECT_EQ(FaceCount(), reduce == 1 ? 8 : 10);
    EXPECT_EQ(ToolGlobals.SkipCountX, 0);
    EXPECT_EQ(ToolGlobals.SkipCountZ, 0);
  }
}

// A z-run stops at the smaller of the box size and the layer count, whatever lies beyond: the
// -x and +x faces of a column of one index, as (first z, run length) pairs.
TEST_F(FaceGeneration, RunsAlongZStopAtTheLastLayerAndAtTheBoxSize) {
  using Runs = std::vector<std::pair<double, double>>;
  struct Case {
    double size, layers, column;
    Runs runs;
  };
  const Case cases[] = {
      {8, 2, 4, {{1, 2}}},                  // cells past the last layer are never visited
      {2, 4, 4, {{1, 2}, {3, 1}, {4, 1}}},  // more layers than the box size
      {8, 4, 4, {{1, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " " << c.layers);
    MakeToolArrays();
    PaletteAddColor(kRed);
    PaletteAddColor(kGreen);
    Box(c.size, c.layers);
    for (double z = 1; z <= c.column; ++z) {
      Solid(1, 1, z, 1);
      Solid(2, 2, z, 2);
    }
    Generate(1);
    const double half = std::trunc(c.size / 2);
    std::vector<Runs> sideRuns(4);  // red -x, red +x, green -x, green +x
    for (const ObjFace& face : Faces()) {
      const double x = face.corner[0][0];
      if (x != face.corner[1][0] || x != face.corner[2][0] || x != face.corner[3][0]) continue;
      double zLow = face.corner[0][2], zHigh = zLow;
      for (const auto& corner : face.corner) {
        zLow = std::min(zLow, corner[2]);
        zHigh = std::max(zHigh, corner[2]);
      }
      const int32_t column = face.material == "usemtl material01" ? 0 : 2;
      const double columnX = column == 0 ? 1 : 2;
      const int32_t side = x + half == columnX ? 1 : 0;
      sideRuns[size_t(column + side)].push_back({zLow + half, zHigh - zLow});
    }
    for (const Runs& runs : sideRuns) EXPECT_EQ(runs, c.runs);
    EXPECT_EQ(ToolGlobals.SkipCountZ, 0);
    EXPECT_EQ(ToolGlobals.SkipCountX, 0);
  }
}

// Every side of the voxel is tested through its own neighbour argument only.
TEST_F(FaceGeneration, EachDirectionLooksAtItsOwnNeighbour) {
  PaletteAddColor(kRed);
  Box(8, 8);
  // Neighbour argument of directions 0 to 5.
  const int32_t ownNeighbour[6] = {0, 1, 4, 5, 2, 3};
  for (int32_t d = 0; d < 6; ++d) {
    SCOPED_TRACE(d);
    std::array<double, 6> others{1, 1, 1, 1, 1, 1};
    others[size_t(ownNeighbour[d])] = 0;
    std::array<double, 6> own{};
    own[size_t(ownNeighbour[d])] = 1;
    const int32_t before = FaceCount();
    EmitVoxelFaces(4, 4, 4, own[0], own[1], own[2], own[3], own[4], own[5], 1, d);
    EXPECT_EQ(FaceCount(), before);
    EmitVoxelFaces(4, 4, 4, others[0], others[1], others[2], others[3], others[4], others[5], 1, d);
    EXPECT_EQ(FaceCount(), before + 1);
  }
  EXPECT_EQ(ToolGlobals.NextObjVertex, 25);
}

TEST_F(FaceGeneration, MaterialLinesNameTheIndexWithAtLeastTwoDigits) {
  Box(8, 1);
  for (double index : {5.0, 10.0, 100.0}) EmitVoxelFaces(1, 1, 1, 0, 0, 0, 0, 0, 0, index, 0);
  EXPECT_EQ(Faces()[0].material, "usemtl material05");
  EXPECT_EQ(Faces()[1].material, "usemtl material10");
  EXPECT_EQ(Faces()[2].material, "usemtl material100");
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
  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"Generating faces...", 0},   {"Generating faces...", 128}, {"Generating faces...", 256},
      {"Generating faces...", 384}, {"Generating faces...", 512}, {"Generating faces...", 640}};
  EXPECT_EQ(gBars, expected);
  EXPECT_EQ(FaceCount(), 0);
  EXPECT_EQ(ArrayDimSize(ToolGlobals.ObjPositions, 0), 0);
  EXPECT_FALSE(std::filesystem::exists(tmp.Child("out.kmo")));
  EXPECT_EQ(scene->objects[1].inUse, 0);
}

// On random boxes the faces cover exactly the boundary between solid and empty cells: each face
// an axis-aligned rectangle one voxel wide, wound into the solid voxel, in its material, with
// texture values that are the position over the box size; no unit face twice, none missing.
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

  int32_t ExposedUnitFaces() {
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

  // The axis across the face: the one on which all four corners agree.
  static int32_t NormalAxis(const ObjFace& face) {
    int32_t found = -1;
    for (int32_t a = 0; a < 3; ++a) {
      bool flat = true;
      for (const auto& corner : face.corner) flat = flat && corner[a] == face.corner[0][a];
      if (flat) {
        EXPECT_EQ(found, -1);
        found = a;
      }
    }
    return found;
  }

  // +1 when the strip's first triangle faces along +axis, -1 along -axis.
  static double Winding(const ObjFace& face, int32_t axis) {
    const auto& c = face.corner;
    const double e1[3] = {c[1][0] - c[0][0], c[1][1] - c[0][1], c[1][2] - c[0][2]};
    const double e2[3] = {c[2][0] - c[0][0], c[2][1] - c[0][1], c[2][2] - c[0][2]};
    const int32_t a = (axis + 1) % 3, b = (axis + 2) % 3;
    return std::copysign(1.0, e1[a] * e2[b] - e1[b] * e2[a]);
  }

  void CheckTexture(const ObjFace& face, int32_t axis) {
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
    const int32_t axis = NormalAxis(face);
    ASSERT_GE(axis, 0);
    const int32_t a = (axis + 1) % 3, b = (axis + 2) % 3;
    double low[3], high[3];
    for (int32_t k = 0; k < 3; ++k) {
      low[k] = high[k] = face.corner[0][k];
      for (const auto& corner : face.corner) {
        low[k] = std::min(low[k], corner[k]);
        high[k] = std::max(high[k], corner[k]);
      }
    }
    EXPECT_TRUE(high[a] - low[a] == 1 || high[b] - low[b] == 1);
    const double inward = Winding(face, axis);
    const double index = std::stod(face.material.substr(std::string("usemtl material").size()));
    for (double i = low[a]; i < high[a]; ++i) {
      for (double j = low[b]; j < high[b]; ++j) {
        double solid[3], empty[3];
        solid[a] = empty[a] = i + half;
        solid[b] = empty[b] = j + half;
        solid[axis] = low[axis] + half + (inward > 0 ? 0 : -1);
        empty[axis] = solid[axis] - inward;
        EXPECT_EQ(VoxelAt(solid[0], solid[1], solid[2]), index);
        EXPECT_EQ(VoxelAt(empty[0], empty[1], empty[2]), 0);
        EXPECT_TRUE(covered.insert({double(axis), inward, solid[0], solid[1], solid[2]}).second);
      }
    }
    CheckTexture(face, axis);
  }
  EXPECT_EQ(int32_t(covered.size()), ExposedUnitFaces());
  if (reduce == 1) {
    EXPECT_LT(faces.size(), covered.size());
  }
  EXPECT_EQ(ArrayDimSize(ToolGlobals.ObjPositions, 0), 12 * FaceCount());
  EXPECT_EQ(ArrayDimSize(ToolGlobals.ObjTexCoords, 0), 8 * FaceCount());
  EXPECT_EQ(ArrayDimSize(ToolGlobals.ObjNormals, 0), 12 * FaceCount());
  EXPECT_EQ(ToolGlobals.NextObjVertex, 4 * FaceCount() + 1);
}

INSTANTIATE_TEST_SUITE_P(BoxesAndAnswers, SurfaceOfRandomBoxes,
                         testing::Values(std::tuple{6.0, 5.0, 0.0, 1u},
                                         std::tuple{6.0, 5.0, 1.0, 1u},
                                         std::tuple{5.0, 7.0, 1.0, 2u},
                                         std::tuple{5.0, 7.0, 0.0, 2u},
                                         std::tuple{4.0, 1.0, 1.0, 3u}));

}  // namespace
