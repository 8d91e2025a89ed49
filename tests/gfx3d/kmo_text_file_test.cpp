#include "gfx3d/kmo_text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/debug_log.h"
#include "tests/support/address_space.h"
#include "tests/support/memory_file.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

std::span<const uint8_t> Span(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::vector<std::string> Tokens(const std::string& text) {
  TextModelTokens tokens(Span(text));
  std::vector<std::string> found;
  while (tokens.Next()) found.emplace_back(tokens.token(), size_t(tokens.tokenLength()));
  return found;
}

using Strings = std::vector<std::string>;

TEST(TextModelTokens, SeparatorsCommentsAndLongTokens) {
  struct Case {
    std::string text;
    Strings tokens;
  };
  const std::string longToken(1500, '7');
  const std::string longComment = "#" + std::string(600, 'c') + " 5";
  const Case cases[] = {
      {" KMOA\t1.1\r\n2 ", {"KMOA", "1.1", "2"}},
      {"1 # two three\n4", {"1", "4"}},
      {"1#comment\n2", {"1", "2"}},
      {"1 # comment at the end without a line feed", {"1"}},
      {"#\n#\n\n", {}},
      // 512 bytes after the '#' are skipped; the rest of a longer comment reads as tokens.
      {longComment, {std::string(600 - 512, 'c'), "5"}},
      {longToken + " 2", {std::string(1023, '7'), "2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << c.text.substr(0, 40);
}

TEST(TextModelTokens, NumbersAreReadDecimallyAndZeroWhenMissing) {
  const std::string text = "2.9 -1e2 0x1A abc";
  TextModelTokens tokens(Span(text));
  EXPECT_EQ(ReadNumberToken(tokens), 2.9f);
  EXPECT_EQ(ReadNumberToken(tokens), -100.0f);
  EXPECT_EQ(ReadNumberToken(tokens), 0.0f);
  EXPECT_EQ(ReadNumberToken(tokens), 0.0f);
  EXPECT_FALSE(tokens.exhausted());
  EXPECT_EQ(ReadNumberToken(tokens), 0.0f);
  EXPECT_TRUE(tokens.exhausted());
}

// One red triangle in one frame, with normals and without texture coordinates.
const char kRedTriangle[] =
    "KMOA 1.1 0 1 255 0 0 3 0 0 1 0 2 0 1 3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0 1";

TEST(TextModel, RedTriangleBecomesOneFan) {
  ParsedTextModel parsed;
  ASSERT_TRUE(ParseKmoTextModel(parsed, Span(kRedTriangle)));
  MeshObject mesh;
  ASSERT_EQ(TextModelToMesh(parsed, mesh), KmoReadResult::Ok);
  EXPECT_EQ(mesh.normalsDone, 1);
  ASSERT_EQ(mesh.frames.count(), 1);
  const GrowArray<MeshVertex>& stream = mesh.frames[0].buildStream;
  ASSERT_EQ(stream.count(), 4);
  EXPECT_EQ(stream[0].colour, kBreakFan);
  EXPECT_EQ(stream[0].rgba[3], 1.0f);
  for (int32_t i = 1; i < 4; ++i) {
    EXPECT_EQ(stream[i].colour, 0x000000FFu);
    EXPECT_EQ(stream[i].colourIndex, 1);
    EXPECT_EQ(stream[i].rgba[0], 1.0f);
    EXPECT_EQ(stream[i].normal.z, 1.0f);
  }
  EXPECT_EQ(stream[2].position.x, 1.0f);
  EXPECT_EQ(stream[3].position.y, 1.0f);
  EXPECT_EQ(std::vector<uint32_t>(mesh.colourTable.begin(), mesh.colourTable.end()),
            (std::vector<uint32_t>{kBreakFan, 0x000000FF}));
}

TEST(TextModel, FirstTokenAndVersionDecideAcceptance) {
  struct Case {
    const char* text;
    bool accepted;
  };
  for (Case c : {Case{"KMOA 1.1", true}, Case{"KMOA 1.0 0 0 0", true}, Case{"KMOA", true},
                 Case{"KMOAx 1", false}, Case{"kmoa 1", false}, Case{"KMOA 1.2", false},
                 Case{"KMOA 1.1000001", false}, Case{"", false}, Case{"# KMOA", false}}) {
    ParsedTextModel parsed;
    EXPECT_EQ(ParseKmoTextModel(parsed, Span(c.text)), c.accepted) << c.text;
  }
}

TEST(TextModel, CountsTruncateAndTextureVIsNegated) {
  // Version 1.0: no normals; 2.9 texture pairs read as 2; the face's corners use pair 1.
  ParsedTextModel parsed;
  ASSERT_TRUE(ParseKmoTextModel(
      parsed, Span("KMOA 1.0 2.9 0 0 0.5 0.25  1 1 2 3 3.7 0 1 1 1 2 1  1 3 0 0 0 1 0 0 0 1 0")));
  EXPECT_EQ(parsed.texCoords.count(), 2);
  MeshObject mesh;
  ASSERT_EQ(TextModelToMesh(parsed, mesh), KmoReadResult::Ok);
  const MeshVertex& corner = mesh.frames[0].buildStream[1];
  EXPECT_EQ(corner.u, 0.5f);
  EXPECT_EQ(corner.v, -0.25f);
  EXPECT_EQ(corner.normal.x, 0.0f);
  EXPECT_EQ(corner.colour, 0x030201u);
  EXPECT_EQ(mesh.frames[0].buildStream.count(), 4);
}

TEST(TextModel, DataThatRunOutEndTheListsAtOnce) {
  ParsedTextModel parsed;
  ASSERT_TRUE(ParseKmoTextModel(parsed, Span("KMOA 1 2000000000")));
  EXPECT_EQ(parsed.texCoords.count(), 1);
  EXPECT_EQ(parsed.faces.count(), 0);
  ASSERT_TRUE(ParseKmoTextModel(parsed, Span("KMOA 1 0 1 1 2 3 2000000000 0 0")));
  ASSERT_EQ(parsed.faces.count(), 1);
  EXPECT_EQ(parsed.faces[0].vertexIndices.count(), 2);
  EXPECT_EQ(parsed.frames.count(), 0);
  ASSERT_TRUE(ParseKmoTextModel(parsed, Span("KMOA 1 0 0 2000000000 1000000000 1")));
  ASSERT_EQ(parsed.frames.count(), 1);
  EXPECT_EQ(parsed.frames[0].count(), 1);
}

TEST(TextModel, AFailedAllocationDropsBothIndicesOfACorner) {
  ParsedTextModel parsed;
  SetGrowArrayAllocationLimit(4);  // the second face gets its vertex list but no texture list
  ParseKmoTextModel(parsed, Span("KMOA 1 0 2 1 1 1 3 0 0 1 0 2 0 1 1 1 3 0 0 1 0 2 0"));
  SetGrowArrayAllocationLimit(-1);
  ASSERT_EQ(parsed.faces.count(), 2);
  for (const TextModelFace& face : parsed.faces) {
    EXPECT_EQ(face.vertexIndices.count(), face.texCoordIndices.count());
  }
}

TEST(TextModelFile, LoadsThroughTheModelEntryPointAndRefusesBadIndices) {
  TempDir dir(true);
  MeshObject mesh;
  MemoryFile good(kRedTriangle);
  ASSERT_EQ(LoadKmoModel(mesh, good.name.c_str()), 1);
  EXPECT_EQ(mesh.frames[0].buildStream.count(), 4);

  std::string emptyFacesTimesEmptyFrames = "KMOA 1 0 500";  // 500,000 records from 6 KB
  for (int i = 0; i < 500; ++i) emptyFacesTimesEmptyFrames += " 0 0 0 0";
  emptyFacesTimesEmptyFrames += " 1000";
  for (int i = 0; i < 1000; ++i) emptyFacesTimesEmptyFrames += " 0";
  const std::string bad[] = {
      "KMOA 1.1 0 1 255 0 0 3 0 0 1 0 3 0 1 3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0 1",   // vertex 3
      "KMOA 1.1 0 1 255 0 0 3 0 0 1 0 -1 0 1 3 0 0 0 0 0 1 1 0 0 0 0 1 0 1 0 0 0 1",  // vertex -1
      "KMOA 1.0 1 0 0 1 1 1 1 1 0 1 1 0 0 0",                                         // pair 1 of 1
      emptyFacesTimesEmptyFrames,
  };
  for (const std::string& text : bad) {
    std::string name = dir.Child("bad.txt");
    TempDir::WriteBytes(name, text);
    std::filesystem::remove(ErrorLogPath());
    EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0) << text;
    EXPECT_EQ(mesh.frames.count(), 0);
    EXPECT_EQ(TempDir::ReadBytes(ErrorLogPath()), "# read error\n" + name + "\n");
  }
  ParsedTextModel parsed;
  EXPECT_EQ(LoadKmoTextModel(parsed, good.name.c_str()), 1);
  EXPECT_EQ(LoadKmoTextModel(parsed, dir.Child("missing").c_str()), 0);
}

// Zeros, blanks or one long token are refused from the first bytes, the rest never read or held,
// however long the file. A text model too large to hold is refused, never the end of the program.
TEST(TextModelFile, IsJudgedByItsFirstBytesAndRefusedWhenTooLargeToHold) {
  TempDir dir(true);
  MeshObject mesh;
  const std::string name = dir.Child("large.txt");
  for (char fill : {'\0', ' ', 'x'}) {
    TempDir::WriteBytes(name, std::string(8 << 20, fill));
    EXPECT_LT(PeakMemoryGrowth([&] { EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0); }), 1 << 20);
  }
  QRN_SKIP_UNDER_ASAN();
  TempDir::WriteBytes(name, "KMOA 1 ");
  std::filesystem::resize_file(name, size_t(1) << 30);
  EXPECT_EXIT(
      {
        CapAddressSpace();
        std::_Exit(LoadKmoModel(mesh, name.c_str()));
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
