// The tile2cubes program run whole, as a user would run it: a copy of the program and its data
// files in a fresh folder, the answers typed from a script, the files it writes and what it
// prints checked against the worked examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "gfx2d/png_file.h"
#include "gfx2d/rgba_image.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/kmo_normal_table.h"
#include "gfx3d/mesh_object.h"
#include "tests/support/sha256.h"
#include "tests/support/tool_program.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRunTimeoutSeconds = 120;

// The two-tile strip of the worked examples: red, green and blue pixels on black, and one pixel
// of the default colour key, which must read as empty.
std::vector<Rgb> TwoTileStrip() {
  std::vector<Rgb> pixels(16 * 8, Rgb{0, 0, 0});
  auto at = [&](int x, int y) -> Rgb& { return pixels[size_t(y) * 16 + size_t(x)]; };
  at(0, 0) = at(1, 0) = at(8, 0) = {255, 0, 0};
  at(7, 7) = {0, 255, 0};
  at(11, 4) = {0, 0, 255};
  at(13, 5) = {255, 0, 128};
  return pixels;
}

// The viewer's frames: the model first shows on its 100th frame, so the 50th has none and the
// 130th has it.
const std::vector<std::string> kViewerSteps{"wait-file out.mtl",  "frames 50",
                                            "snapshot early.png", "frames 80",
                                            "snapshot late.png",  "key 1 down"};

// The answers to the two-tile strip, then the viewer's steps.
std::vector<std::string> Script(std::vector<std::string> names, const std::string& reduce,
                                const std::vector<std::string>& viewer = kViewerSteps) {
  std::vector<std::string> script{"text"};
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) script.push_back("text");  // the key after "No such file..." and the like
    script.push_back("text " + names[i]);
  }
  for (const char* answer :
       {"text out", "text 0", "text 0", "text 8", "text 8", "text 2", "text 0", "text", "text"}) {
    script.push_back(answer);
  }
  script.push_back("text " + reduce);
  script.insert(script.end(), viewer.begin(), viewer.end());
  return script;
}

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The VOX file of the two-tile strip: sizes 8, 8, 8, every cell empty but the five solid ones,
// and the palette black, red, green, blue.
std::string ExpectedVox() {
  std::string bytes = std::string("\x08\0\0\0\x08\0\0\0\x08\0\0\0", 12) + std::string(512, '\xFF');
  for (auto [offset, index] : {std::pair{12, 1}, {20, 1}, {75, 2}, {76, 1}, {104, 3}}) {
    bytes[size_t(offset)] = char(index);
  }
  return bytes + std::string("\0\0\0\xFF\0\0\0\xFF\0\0\0\xFF", 12);
}

std::string MtlMaterial(const char* number, const char* colour) {
  return std::string("\r\nnewmtl material") + number + "\r\nKa " + colour + "\r\nKd " + colour +
         "\r\nKs 1 1 1\r\nd 1.0\r\n";
}

std::string MtlFile(const std::vector<std::string>& materials) {
  std::string text = "#Created with tile2cube, a quarnel program\r\n#Object - out\r\n";
  for (const std::string& material : materials) text += material;
  return text + "#End of File\r\n";
}

class ToolRun : public testing::Test {
 protected:
  ToolFolder tool;
  const TempDir& folder = tool.folder;

  ProgramRun Run(const std::vector<std::string>& script) const {
    return tool.Run(script, kRunTimeoutSeconds);
  }
  std::string Output(const std::string& name) const { return tool.Output(name); }

  // A pixel that is not black from the row on (16: below the frame-rate line at the top).
  bool DrawnFromRow(const std::string& name, int32_t firstRow) const {
    RgbaImage image;
    EXPECT_TRUE(LoadPngImage(image, folder.Child(name).c_str(), kNoTransparentColour)) << name;
    bool drawn = false;
    for (int32_t y = firstRow; y < image.height && !drawn; ++y) {
      for (int32_t x = 0; x < image.width && !drawn; ++x) {
        const uint8_t* p = image.pixels + (size_t(y) * size_t(image.width) + size_t(x)) * 4;
        drawn = p[0] || p[1] || p[2];
      }
    }
    ReleaseImage(image);
    return drawn;
  }

  void ExpectTwoTileStripFiles() const {
    EXPECT_EQ(Output("out.vox"), ExpectedVox());
    const std::string obj = Output("out.obj");
    EXPECT_EQ(obj.size(), 4646u);
    EXPECT_EQ(Sha256Hex(obj), "d1ebf90a3bb00ba7fd49f9d7a83ef746e4d05d72a8363e0ff05e1ac939be24db");
    EXPECT_EQ(Output("out.mtl"), MtlFile({MtlMaterial("00", "0 0 0"), MtlMaterial("01", "1 0 0"),
                                          MtlMaterial("02", "0 1 0"), MtlMaterial("03", "0 0 1")}));
  }
};

// The model file is checked against the OBJ file of the same run, which the golden pins: every
// byte but the normal indexes is what the OBJ's faces give; a normal index, decided by rounding
// where several table entries are equally close, must be one of those closest to the smooth
// normal summed here from the faces.
struct ObjModel {
  std::vector<Vec3> positions;
  std::vector<std::pair<float, float>> uvs;
  std::vector<int> faceMaterials;  // palette index per face

  explicit ObjModel(const std::string& obj) {
    int material = -1;  // a face line carries the material named last
    for (const std::string& line : Lines(obj)) {
      std::istringstream in(line);
      std::string word;
      in >> word;
      if (word == "v") {
        double x, y, z;
        in >> x >> y >> z;
        positions.push_back({float(x), float(y), float(z)});
      } else if (word == "vt") {
        double u, v;
        in >> u >> v;
        uvs.emplace_back(float(u), float(v));
      } else if (word == "usemtl") {
        in >> word;
        material = std::stoi(word.substr(std::strlen("material")));
      } else if (word == "f") {
        faceMaterials.push_back(material);
      }
    }
  }
  size_t Faces() const { return positions.size() / 4; }
};

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}
void PutF32(std::string& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutU32(out, bits);
}

// Each face is a strip of two triangles, the second turned round, summed at every position.
std::vector<Vec3> SmoothNormals(const ObjModel& model) {
  std::vector<Vec3> sums(model.positions.size(), Vec3{0, 0, 0});
  auto add = [&](size_t at, Vec3 n) {
    const Vec3 p = model.positions[at];
    for (size_t i = 0; i < sums.size(); ++i) {
      const Vec3 q = model.positions[i];
      if (q.x == p.x && q.y == p.y && q.z == p.z) sums[i] = sums[i] + n;
    }
  };
  for (size_t f = 0; f < model.Faces(); ++f) {
    for (size_t t = 0; t < 2; ++t) {
      const size_t a = 4 * f + t;
      const Vec3 p0 = model.positions[a], p1 = model.positions[a + 1], p2 = model.positions[a + 2];
      Vec3 n = Cross(p2 - p1, p1 - p0);
      if (t == 1) n = n * -1.0f;
      for (size_t c = 0; c < 3; ++c) add(a + c, n);
    }
  }
  return sums;
}

bool AmongClosestNormals(uint8_t index, Vec3 sum) {
  const double length = std::sqrt(double(Dot(sum, sum)));
  const double n[3] = {sum.x / length, sum.y / length, sum.z / length};
  auto score = [&](int i) {
    const Vec3 t = KmoNormalTable[i];
    return std::fabs(n[0] * (n[0] - t.x) + n[1] * (n[1] - t.y) + n[2] * (n[2] - t.z));
  };
  double best = 1e9;
  for (int i = 0; i < kKmoNormalCount; ++i) best = std::min(best, score(i));
  return index < kKmoNormalCount && score(index) <= best + 1e-6;
}

// The colour table lists the break marker, then the materials in the order faces first use them.
std::vector<int> ColourOrder(const ObjModel& model) {
  std::vector<int> order;
  for (int material : model.faceMaterials) {
    if (std::find(order.begin(), order.end(), material) == order.end()) order.push_back(material);
  }
  return order;
}

// Record 0 and the first of every five are strip markers; the rest are the OBJ's vertices.
bool IsMarker(uint32_t record) {
  return record == 0 || record % 5 == 1;
}
size_t VertexOf(uint32_t record) {
  return IsMarker(record) ? 0 : size_t(record - 2 - (record - 2) / 5);
}

void ExpectModelMatchesObj(const std::string& kmo, const ObjModel& model,
                           const std::vector<uint32_t>& paletteColours) {
  const std::vector<int> order = ColourOrder(model);
  const uint32_t records = uint32_t(1 + 5 * model.Faces());
  std::string expected = std::string("\x17\xB3\xC6\0\0\0\0\0\0\0\0\x40", 12);
  for (uint32_t v : {1u, uint32_t(order.size() + 1), records, 0xFFFFFFFEu}) PutU32(expected, v);
  for (int material : order) PutU32(expected, paletteColours[size_t(material)]);
  for (uint32_t r = 0; r < records; ++r) {
    PutF32(expected, IsMarker(r) ? 0.0f : model.uvs[VertexOf(r)].first);
    PutF32(expected, IsMarker(r) ? 0.0f : -model.uvs[VertexOf(r)].second);
  }
  PutU32(expected, records);
  const size_t recordsStart = expected.size();
  for (uint32_t r = 0; r < records; ++r) {
    const Vec3 p = IsMarker(r) ? Vec3{0, 0, 0} : model.positions[VertexOf(r)];
    for (float f : {p.x, p.y, p.z}) PutF32(expected, f);
    expected += '\0';  // the normal index, checked below
    const auto colour = std::find(order.begin(), order.end(), model.faceMaterials[VertexOf(r) / 4]);
    expected += char(IsMarker(r) ? 0 : 1 + (colour - order.begin()));
  }
  ASSERT_EQ(kmo.size(), expected.size());
  const std::vector<Vec3> normals = SmoothNormals(model);
  for (uint32_t r = 0; r < records; ++r) {
    const size_t at = recordsStart + 14 * size_t(r) + 12;
    EXPECT_TRUE(AmongClosestNormals(uint8_t(kmo[at]), normals[VertexOf(r)])) << "record " << r;
    expected[at] = kmo[at];
  }
  EXPECT_EQ(kmo, expected);
}

const std::vector<uint32_t> kStripPalette{0, 0x0000FF, 0x00FF00, 0xFF0000};

std::string VertexLines(int faces) {
  std::string lines;
  for (int f = 0; f < faces; ++f) {
    for (int c = 0; c < 4; ++c) lines += "0 " + std::to_string(3 + 5 * f + c) + "\n";
  }
  return lines;
}

TEST_F(ToolRun, TwoTileStripGivesTheWorkedExamplesFilesAndShowsTheModel) {
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  const ProgramRun run = Run(Script({"strip.png"}, "1"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, VertexLines(24) + "exit\n");
  ExpectTwoTileStripFiles();
  ExpectModelMatchesObj(Output("out.kmo"), ObjModel(Output("out.obj")), kStripPalette);
  MeshObject model;
  ASSERT_EQ(LoadKmoModel(model, folder.Child("out.kmo").c_str()), 1);
  ASSERT_EQ(model.frames.count(), 1);
  EXPECT_EQ(model.colourTable.count(), 4);
  EXPECT_EQ(model.frames[0].buildStream.count(), 121);
  EXPECT_FALSE(DrawnFromRow("early.png", 16)) << "no model before the viewer's 100th frame";
  EXPECT_TRUE(DrawnFromRow("late.png", 16)) << "the model from then on";
}

TEST_F(ToolRun, UnmergedFacesKeepEveryUnitFace) {
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  const ProgramRun run = Run(Script({"strip.png"}, "0"));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string obj = Output("out.obj");
  EXPECT_EQ(obj.size(), 5027u);
  EXPECT_EQ(Sha256Hex(obj), "09b144447fb0275c397097356633d36213aaa7978d07d4cb96ce681dc988910c");
  ExpectModelMatchesObj(Output("out.kmo"), ObjModel(obj), kStripPalette);
}

// A missing name and a file that is no image are each refused and asked again from an empty
// answer; the run then goes on as if the right name had come first. Snapshots at the key waits
// show the screens the user reads there.
TEST_F(ToolRun, RefusedNamesAreAskedAgain) {
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  TempDir::WriteBytes(folder.Child("notimage.png"), "just some text, no picture\n");
  std::vector<std::string> script = Script({"missing.png", "notimage.png", "strip.png"}, "1");
  script.insert(script.begin() + 2, "snapshot nosuchfile.png");
  script.insert(std::find(script.begin(), script.end(), "text out") + 7, "snapshot summary.png");
  const ProgramRun run = Run(script);
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectTwoTileStripFiles();
  EXPECT_TRUE(DrawnFromRow("nosuchfile.png", 0)) << "\"No such file...\"";
  EXPECT_TRUE(DrawnFromRow("summary.png", 16)) << "the summary below the strip";
}

// A script for the questions and Escape for the viewer, with no other settings: the run says
// nothing but what the tool itself prints.
TEST_F(ToolRun, AScriptedRunIsQuietAndEscapeEndsTheViewer) {
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  const ProgramRun run = tool.Run(Script({"strip.png"}, "1", {"key escape"}), 30,
                                  {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "QRN_HEADLESS"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  ExpectTwoTileStripFiles();
}

// However the user leaves the message, the run failed: a key, Escape, or a script that ends there.
TEST_F(ToolRun, AnOutputFolderThatIsMissingEndsTheRunWithTheReason) {
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  for (const char* ending : {"text", "key escape", ""}) {
    SCOPED_TRACE(ending);
    std::vector<std::string> script{
        "text",   "text strip.png", "text nowhere/out", "text 0", "text 0", "text 8",
        "text 8", "text 2",         "text 0",           "text",   ending};
    const ProgramRun run = Run(script);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Cannot write nowhere/out.vox: No such file or directory\n"),
              std::string::npos)
        << run.err;
  }
}

TEST_F(ToolRun, StripWithoutSolidPixelsWritesEmptyFilesAndNoModel) {
  ASSERT_TRUE(
      WriteRgbPng(folder.Child("strip.png"), 16, 8, std::vector<Rgb>(16 * 8, Rgb{0, 0, 0})));
  const ProgramRun run = Run(Script({"strip.png"}, "1"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "exit\n");
  EXPECT_EQ(Output("out.obj"),
            "#Created with tile2cube, a quarnel program\r\nmtllib out.mtl\r\ng mesh01\r\n"
            "#Vertexs\r\n \r\n#Texture Coords.\r\n \r\n#Normals\r\n \r\n#Faces\r\n"
            "#End of File\r\n");
  EXPECT_EQ(Output("out.mtl"), MtlFile({MtlMaterial("00", "0 0 0")}));
  EXPECT_FALSE(fs::exists(folder.Child("out.kmo")));
}

// The number after a label of the reader's report; -1 without the label.
long ReportedCount(const std::string& report, const std::string& label) {
  for (const std::string& line : Lines(report)) {
    if (line.rfind(label, 0) == 0) return std::stol(line.substr(label.size()));
  }
  return -1;
}

// An outside OBJ reader takes the file as it stands, without repairs.
TEST_F(ToolRun, ObjFileReadsInAnotherProgram) {
  const fs::path assimp = "/usr/bin/assimp";
  if (!fs::exists(assimp)) GTEST_SKIP() << "assimp-utils is not installed";
  ASSERT_TRUE(WriteRgbPng(folder.Child("strip.png"), 16, 8, TwoTileStrip()));
  ASSERT_EQ(Run(Script({"strip.png"}, "1")).status, 0);
  const ProgramRun info = RunProgramAt(assimp.string(), {"info", folder.Child("out.obj"), "-r"},
                                       folder, {}, kRunTimeoutSeconds);
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(ReportedCount(info.out, "Vertices:"), 96) << info.out;
  EXPECT_EQ(ReportedCount(info.out, "Faces:"), 24) << info.out;
}

}  // namespace
