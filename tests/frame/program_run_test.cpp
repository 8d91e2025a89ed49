// Whole runs of a program on the runtime, entry to process end: the debug log's lines, standard
// output and the exit status.
#include "tests/support/program_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string ProgramFolder() {
  return fs::canonical(QRN_TEST_PROGRAM_DIR).string();
}

// Every line of a run that starts, runs a main routine that ENDs and shuts down, under the
// offscreen driver's software renderer. The texture limit depends on the driver.
std::vector<std::string> ExpectedRunLog() {
  return {"Start new log...",
          "timer",
          "rbow",
          "rbow init",
          "WIN32 init video",
          "*** OpenGL Software Emulation - update driver!",
          "get accurate timer - 1st call",
          "flip - 1st call",
          "BGRA ext supported",
          "Texture size limit: *",
          "init fbo",
          "2D VP",
          "OGRB init [OK]",
          "Cptn",
          "Network",
          "Input",
          "Window mode",
          "Create DXin",
          "reptr",
          "getexe",
          "cd",
          "exepath=curdir= " + ProgramFolder(),
          "quazboxing...",
          "init gettimer",
          "clear screen",
          "flip",
          "mk2D",
          "finding font...",
          "Init Finalized",
          "Shut down QRN",
          "qrn is shut down"};
}

// Whether text has the given shape: '9' stands for a digit, '_' for a digit or a space, 'A' and
// 'a' for an upper- and a lower-case letter; any other character stands for itself.
bool HasShape(const std::string& text, const std::string& shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    const bool fits = shape[i] == '9'   ? std::isdigit(c)
                      : shape[i] == '_' ? std::isdigit(c) || c == ' '
                      : shape[i] == 'A' ? std::isupper(c)
                      : shape[i] == 'a' ? std::islower(c)
                                        : c == shape[i];
    if (!fits) return false;
  }
  return true;
}

// The log's lines with the driver's texture limit written as a star.
std::vector<std::string> LogWithoutTextureLimit(const std::string& log) {
  const std::string prefix = "Texture size limit: ";
  std::vector<std::string> lines = Lines(log);
  for (std::string& line : lines) {
    if (line.size() > prefix.size() && line.compare(0, prefix.size(), prefix) == 0 &&
        std::all_of(line.begin() + prefix.size(), line.end(), [](unsigned char c) { return std::isdigit(c); })) {
      line = prefix + "*";
    }
  }
  return lines;
}

size_t CountOf(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

ProgramRun RunEntryProgram(const std::string& mode, const TempDir& tmp) {
  return RunTestProgram("entry_program", {mode}, tmp);
}

}  // namespace

TEST(ProgramRun, EntryStartUpMainRoutineAndEndWriteTheWholeLogAndExitZero) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("end", tmp);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "main routine\nexit\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(LogWithoutTextureLimit(run.log), ExpectedRunLog());
}

TEST(ProgramRun, AStaleFolderOfTheLogsNameBecomesTheLogFile) {
  TempDir tmp;
  fs::create_directory(tmp.Child("ErrorLog.txt"));
  const ProgramRun run = RunEntryProgram("end", tmp);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(fs::is_regular_file(tmp.Child("ErrorLog.txt")));
  EXPECT_EQ(run.log.rfind("Start new log...\n", 0), 0u);
}

TEST(ProgramRun, EveryWayOutRunsTheQuitSequenceOnceWithItsStatus) {
  struct Case {
    const char* mode;
    int status;
    const char* out;
  };
  const Case cases[] = {
      {"return", 0, "main routine\nexit\n"},
      {"loop", 0, "main routine\nloop pass 1\nloop pass 2\nloop pass 3\nexit\n"},
      // A stale error code does not turn closing the window into a failure.
      {"close", 0, "main routine\nexit\n"},
      {"bounds", 1, "main routine\nexit\n"},
      // END and a close inside the quit routine start no second shutdown.
      {"quit-ends", 0, "main routine\nquit routine\nexit\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    TempDir tmp;
    const ProgramRun run = RunEntryProgram(c.mode, tmp);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(CountOf(run.log, "Shut down QRN\n"), 1u);
    const std::string tail = "Init Finalized\nShut down QRN\nqrn is shut down\n";
    EXPECT_EQ(run.log.substr(run.log.size() - std::min(run.log.size(), tail.size())), tail);
  }
}

TEST(ProgramRun, AnArrayBoundFailureIsReportedOnStandardError) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("bounds", tmp);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("access: [   5]"), std::string::npos) << run.err;
}

TEST(ProgramRun, AFatalErrorInsideTheQuitSequenceEndsAtOnceWithStatusOne) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("quit-fatal", tmp);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "main routine\nquit routine\n");
  EXPECT_EQ(CountOf(run.log, "Shut down QRN\n"), 0u);
}

TEST(ProgramRun, TheDebugSwitchWritesTheEndOfProgramLinesBeforeTheShutdown) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("debug", tmp);
  EXPECT_EQ(run.status, 0);
  const std::string tail = "Init Finalized\n-End On Line\n0\n-1\n0\n0\nShut down QRN\n";
  EXPECT_NE(run.log.find(tail), std::string::npos) << run.log;
}

TEST(ProgramRun, AWindowThatCannotBeMadeEndsTheStartUpWithStatusOne) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("nowindow", tmp);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(CountOf(run.err, "\n"), 1u) << run.err;
  EXPECT_EQ(run.err.back(), '\n');
  EXPECT_EQ(run.out, "") << "neither the main routine nor the quit sequence ran";
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(Lines(run.log).back(), "WIN32 init video");
}

TEST(ProgramRun, FileWorkLeftForTheEndLandsWhereItBelongsOrEndsWithCodeThree) {
  TempDir tmp;
  const std::string data = tmp.Child("data");
  fs::create_directory(data);
  TempDir::WriteBytes(data + "/settings.ini", "[main]\nx=1\n");
  TempDir::WriteBytes(data + "/lines.txt", "old\r\nkept\r\n");
  ProgramRun run = RunTestProgram("entry_program", {"write-back", data}, tmp);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(TempDir::ReadBytes(data + "/settings.ini"), "[main]\r\nx=2\r\n");
  EXPECT_EQ(TempDir::ReadBytes(data + "/lines.txt"), "changed\r\nkept\r\n");

  run = RunTestProgram("entry_program", {"full-disk", data}, tmp);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.log.find("-End On Line\n3\n"), std::string::npos) << run.log;
}

// Bytes a file cannot take end the run with status 1 and say which file and why, in the log and
// on standard error, whether they wait for END, for CLOSEFILE or for a host leaving main; the
// INI file changed before is still written back and the program's own exit handler still runs.
TEST(ProgramRun, BytesAFileCannotTakeEndTheRunNamingTheFileAndTheReason) {
  for (const char* mode : {"full-disk", "close-full-disk", "host-full-disk"}) {
    SCOPED_TRACE(mode);
    TempDir tmp;
    const std::string data = tmp.Child("data");
    fs::create_directory(data);
    TempDir::WriteBytes(data + "/settings.ini", "[main]\r\nx=old\r\n");
    const ProgramRun run = RunTestProgram("entry_program", {mode, data}, tmp);
    EXPECT_EQ(run.status, 1);
    const std::string report = "Cannot write big.bin: File too large\n";
    EXPECT_EQ(run.err, report);
    EXPECT_EQ(CountOf(run.log, report), 1u) << run.log;
    EXPECT_EQ(TempDir::ReadBytes(data + "/settings.ini"), "[main]\r\nx=changed\r\n");
    EXPECT_TRUE(run.out.ends_with("the program's exit handler ran\n")) << run.out;
  }
}

// Every list holding the 2D layer runs a 2D program to its end; every other list is refused
// before anything starts.
TEST(ProgramRun, ListsWithThe2dLayerRunA2dProgramAndTheOthersAreRefused) {
  for (const std::string list : {"2d", "2d-net", "2d-3d", "all", "none", "3d"}) {
    SCOPED_TRACE(list);
    TempDir tmp;
    TempDir::WriteBytes(tmp.Child("script.txt"), "text hello\n");
    const ProgramRun run =
        RunProgramAt(ProgramFolder() + "/entry_program", {"2d-program", tmp.path.string(), list},
                     tmp, {"QRN_INPUT_SCRIPT=" + tmp.Child("script.txt")});
    if (list[0] != '2' && list != "all") {
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out + run.log, "") << "neither the main routine nor the start-up ran";
      EXPECT_EQ(run.err, "The program cannot start: its layers must include InstallGfx2dLayer, "
                         "which the frame and the 3D layer draw through\n");
      continue;
    }
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "main routine\npixel 0000ff\ntyped hello\nexit\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(TempDir::ReadBytes(tmp.Child("data.txt")), "written");
    EXPECT_EQ(TempDir::ReadBytes(tmp.Child("settings.ini")), "[main]\r\nx=1\r\n");
    EXPECT_EQ(TempDir::ReadBytes(tmp.Child("shot.png")).substr(1, 3), "PNG");
  }
}

// The program lists its layers and links nothing else: the notice reaches the context and the
// frame after it runs on the installed 2D and 3D services.
TEST(ProgramRun, AScreenSizeNoticeReachesTheContextAndAFrameFollows) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("resize", tmp);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "main routine\ncontext 800x600\nexit\n");
  EXPECT_NE(run.log.find("qrn_notify_screen_size 800x600\n"), std::string::npos) << run.log;
}

TEST(ProgramRun, TheToolsHooksAnswerItsBuildTexts) {
  TempDir tmp;
  const ProgramRun run = RunEntryProgram("tool-texts", tmp);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(HasShape(run.out, "COMPILED=Aaa _9 9999-99:99:99\nHOSTID=00000000\nVERSION=000.001\nexit\n"))
      << run.out;
}

// A quit routine that waits for a key, or polls the keys while showing frames, cannot keep a
// run the script runner ended, nor one a SIGTERM ends: the process ends at once, its output
// flushed, with status 1, and the runner says why once. The three run side by side, each
// against its own deadline.
TEST(ProgramRun, AQuitRoutineThatWaitsCannotKeepAnEndedRun) {
  constexpr int kDeadlineSeconds = 30;
  const std::string modes[] = {"quit-key-wait", "quit-poll", "quit-sigterm"};
  TempDir folders[3];
  std::vector<std::future<ProgramRun>> runs;
  for (int i = 0; i < 3; ++i) {
    TempDir::WriteBytes(folders[i].Child("answers.txt"), "key a\n");
    const std::string script = i < 2 ? "QRN_INPUT_SCRIPT=" + folders[i].Child("answers.txt")
                                     : "QRN_INPUT_SCRIPT";
    runs.push_back(std::async(std::launch::async, [&, i, script] {
      return RunProgramAt(ProgramFolder() + "/entry_program", {modes[i]}, folders[i], {script},
                          kDeadlineSeconds);
    }));
  }
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(modes[i]);
    const ProgramRun run = runs[i].get();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, i < 2 ? "main routine\nkey wait ended\nquit routine\n"
                             : "main routine\nquit routine\n");
    EXPECT_EQ(CountOf(run.err, "input script used up"), i < 2 ? 1u : 0u) << run.err;
  }
}
