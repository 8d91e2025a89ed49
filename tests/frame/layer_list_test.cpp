// The layer lists a program may give its entry: every list holding the 2D layer runs a 2D program
// to its end; every other list is refused before anything starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

ProgramRun RunOnLayers(const char* list, const TempDir& tmp) {
  const std::string work = tmp.Child("work");
  std::filesystem::create_directory(work);
  TempDir::WriteBytes(tmp.Child("script.txt"), "text hello\n");
  return RunProgramAt(std::string(QRN_TEST_PROGRAM_DIR) + "/layer_program", {list, work}, tmp,
                      {"QRN_INPUT_SCRIPT=" + tmp.Child("script.txt")});
}

void ExpectTheWholeRun(const ProgramRun& run, const TempDir& tmp) {
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "pixel 0000ff\ntyped hello\nexit\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("work/data.txt")), "written");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("work/settings.ini")), "[main]\r\nx=1\r\n");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("work/shot.png")).substr(1, 3), "PNG");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("work/sprite.bmp")).substr(0, 2), "BM");
}

void ExpectARefusal(const ProgramRun& run) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "The program cannot start: its layers must include InstallGfx2dLayer, which the "
            "frame and the 3D layer draw through\n");
  EXPECT_EQ(run.log, "") << "no log, no window";
}

TEST(LayerLists, ListsWithThe2dLayerRunA2dProgramToItsEndAndTheOthersAreRefused) {
  const struct {
    const char* list;
    bool runs;
  } cases[] = {{"2d", true},    {"2d-net", true}, {"2d-3d", true}, {"all", true},
               {"none", false}, {"net", false},   {"3d", false},   {"3d-net", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    TempDir tmp;
    const ProgramRun run = RunOnLayers(c.list, tmp);
    c.runs ? ExpectTheWholeRun(run, tmp) : ExpectARefusal(run);
  }
}

}  // namespace
