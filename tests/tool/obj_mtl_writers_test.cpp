// OBJ and MTL text on lists and palettes filled by hand, and the OBJ writer's progress frames.
#include "tool/obj_mtl_writers.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/tool_fixture.h"
#include "tool/palette.h"

namespace {

const std::string kHeader =
    "#Created with tile2cube, a quarnel program\r\nmtllib out.mtl\r\ng mesh01\r\n#Vertexs\r\n";

std::vector<std::string> gFrames;

class ObjMtlWriters : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    ToolGlobals.OutputName = "out";
    gFrames.clear();
  }

  // One face of four corners of the given material, as the face emitter adds it.
  void AddFace(double index) {
    ToolState& g = ToolGlobals;
    const double first = g.NextObjVertex;
    for (double corner = 0; corner < 4; ++corner) {
      for (double v : {corner, 0 - corner, 0.5}) g.ObjPositions.Push(v);
      for (double v : {corner / 16, 0.0}) g.ObjTexCoords.Push(v);
      for (int i = 0; i < 3; ++i) g.ObjNormals.Push(0);
    }
    g.NextObjVertex += 4;
    g.ObjFaceLines.Push(first);
    g.ObjMaterialLines.Push(index);
  }

  std::string FacesPart() {
    const std::string obj = ReadOutput("out.obj");
    return obj.substr(obj.find("#Faces\r\n") + 8);
  }
};

TEST_F(ObjMtlWriters, OneFaceGivesFourOfEachVertexLineThenItsMaterialAndFace) {
  AddFace(3);
  EXPECT_EQ(WriteObjFile(), 0);
  EXPECT_EQ(ReadOutput("out.obj"),
            kHeader +
                "v 0 0 0.5\r\nv 1 -1 0.5\r\nv 2 -2 0.5\r\nv 3 -3 0.5\r\n \r\n"
                "#Texture Coords.\r\nvt 0 0\r\nvt 6.25e-002 0\r\nvt 0.125 0\r\n"
                "vt 0.1875 0\r\n \r\n"
                "#Normals\r\nvn 0 0 0\r\nvn 0 0 0\r\nvn 0 0 0\r\nvn 0 0 0\r\n \r\n"
                "#Faces\r\nusemtl material03\r\nf 4/4/4 3/3/3 1/1/1 2/2/2\r\n#End of File\r\n");
}

TEST_F(ObjMtlWriters, MaterialLinesAppearOnlyWhereTheMaterialChanges) {
  for (double index : {1, 1, 12, 1, 1}) AddFace(index);
  EXPECT_EQ(WriteObjFile(), 0);
  EXPECT_EQ(FacesPart(),
            "usemtl material01\r\nf 4/4/4 3/3/3 1/1/1 2/2/2\r\nf 8/8/8 7/7/7 5/5/5 6/6/6\r\n"
            "usemtl material12\r\nf 12/12/12 11/11/11 9/9/9 10/10/10\r\n"
            "usemtl material01\r\nf 16/16/16 15/15/15 13/13/13 14/14/14\r\n"
            "f 20/20/20 19/19/19 17/17/17 18/18/18\r\n#End of File\r\n");
}

TEST_F(ObjMtlWriters, APartialLastGroupOfNumbersIsNotWritten) {
  for (double v : {1.0, 2.0, 3.0, 4.0, 5.0}) ToolGlobals.ObjPositions.Push(v);
  ToolGlobals.ObjTexCoords.Push(0.5);
  EXPECT_EQ(WriteObjFile(), 0);
  const std::string expected = "v 1 2 3\r\n \r\n#Texture Coords.\r\n \r\n";
  EXPECT_EQ(ReadOutput("out.obj").substr(kHeader.size(), expected.size()), expected);
}

TEST_F(ObjMtlWriters, MtlOfTheOneVoxelExample) {
  ToolGlobals.OutputName = "one";
  PaletteAddColor(kRed);
  EXPECT_EQ(WriteMtlFile(), 0);
  const std::string mtl = ReadOutput("one.mtl");
  EXPECT_EQ(mtl.size(), 189u);
  EXPECT_EQ(mtl,
            "#Created with tile2cube, a quarnel program\r\n#Object - one\r\n"
            "\r\nnewmtl material00\r\nKa 0 0 0\r\nKd 0 0 0\r\nKs 1 1 1\r\nd 1.0\r\n"
            "\r\nnewmtl material01\r\nKa 1 0 0\r\nKd 1 0 0\r\nKs 1 1 1\r\nd 1.0\r\n"
            "#End of File\r\n");
}

TEST_F(ObjMtlWriters, MtlColoursUseTheRuntimeNumberTextAndTwoDigitNames) {
  PaletteAddColor(255 + 128 * 65536);
  PaletteAddColor(1);
  for (double c = 3; c <= 12; ++c) PaletteAddColor(c);
  EXPECT_EQ(WriteMtlFile(), 0);
  const std::string mtl = ReadOutput("out.mtl");
  EXPECT_NE(mtl.find("newmtl material01\r\nKa 1 0 0.5019607843\r\nKd 1 0 0.5019607843\r\n"),
            std::string::npos);
  EXPECT_NE(mtl.find("newmtl material02\r\nKa 3.921568627e-003 0 0\r\n"), std::string::npos);
  EXPECT_NE(mtl.find("newmtl material09\r\n"), std::string::npos);
  EXPECT_NE(mtl.find("\r\nnewmtl material12\r\nKa 4.705882353e-002 0 0\r\n"), std::string::npos);
  EXPECT_EQ(mtl.find("material13"), std::string::npos);
}

void RecordFrame() {}
void RecordText(const Str& text, double, double) {
  gFrames.emplace_back(text.data);
}

TEST_F(ObjMtlWriters, ProgressStepsOncePerNumberAndFaceWithThePhaseRunningOn) {
  AddFace(3);
  ToolScreen screen{};
  screen.printText = RecordText;
  screen.showScreen = RecordFrame;
  InstallToolScreen(screen);
  {
    FakeClockScope clock(1000, 16);
    EXPECT_EQ(WriteObjFile(), 0);
  }
  ASSERT_EQ(gFrames.size(), 33u);
  EXPECT_EQ(gFrames[3], "Writing OBJ vertices....");
  EXPECT_EQ(gFrames[4], "Writing OBJ vertices.");
  EXPECT_EQ(gFrames[13], "Writing OBJ Texture Coords..");
  EXPECT_EQ(gFrames[22], "Pretending to calculate OBJ normals...");

  gFrames.clear();
  {
    FakeClockScope clock(100000, 0);
    EXPECT_EQ(WriteObjFile(), 0);
  }
  EXPECT_EQ(gFrames, (std::vector<std::string>{"Writing OBJ vertices.", "Writing OBJ faces."}))
      << "a stopped clock shows the first and the last step only";
}

}  // namespace
