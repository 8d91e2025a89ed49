// The file-channel commands: the bytes they leave on disk, what they read back from disk files
// and memory blocks alike, and the misuse that ends the program.
#include "system/file_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/str_value.h"
#include "system/file_channels.h"
#include "system/filesystem_commands.h"
#include "system/ini_commands.h"
#include "system/pack_archive.h"
#include "system/text_line_commands.h"
#include "tests/support/memory_file.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class FileCommands : public testing::Test {
 protected:
  TempDir tmp;

  void TearDown() override {
    CloseAllFiles();
    SetToolEmptyHook(nullptr);
    SetChannelBufferSize(kDefaultChannelBufferSize);
    SetChannelReadAhead(true);
    LastErrorCode = 0;
  }

  std::string Disk(const std::string& name, const std::string& bytes) {
    TempDir::WriteBytes(tmp.Child(name), bytes);
    return tmp.Child(name);
  }
  std::string Read(const std::string& name) { return TempDir::ReadBytes(tmp.Child(name)); }

  // The exit status of the code (-1: it returned) and the error code it left.
  static std::pair<int, int32_t> Outcome(const std::function<void()>& code) {
    LastErrorCode = 0;
    const int status = EndStatusOf(code);
    return {status, LastErrorCode};
  }
};

using Ended = std::pair<int, int32_t>;
const Ended kFatal3{1, 3};
const Ended kFatal7{1, 7};
const Ended kGoesOn{-1, 0};

std::string LineOf(int32_t channel) {
  StrValue line;
  ReadLine(channel, line.str());
  return std::string(line.view());
}

TEST_F(FileCommands, ReadsTheSameLinesFromDiskAndMemory) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::string longLine(1500, 'L');
  const Case cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {longLine + "\nz", {longLine.substr(0, 1024), longLine.substr(1024), "z"}},
  };
  for (const Case& c : cases) {
    MemoryFile memory(c.bytes);
    for (const std::string& name : {Disk("lines.txt", c.bytes), memory.name}) {
      SCOPED_TRACE(name);
      ASSERT_TRUE(OpenFile(2, StrValue(name.c_str()), 1));
      for (const std::string& line : c.lines) {
        EXPECT_FALSE(ChannelAtEnd(2));
        EXPECT_EQ(LineOf(2), line);
      }
      EXPECT_TRUE(ChannelAtEnd(2));
      EXPECT_EQ(FilePosition(2), int64_t(c.bytes.size()) + 1);  // as if a '\n' had followed
      EXPECT_EQ(Outcome([] { LineOf(2); }), kFatal3);
    }
    EXPECT_EQ(memory.Bytes(), c.bytes);
  }
}

TEST_F(FileCommands, TheWriteBufferNeverChangesWhatIsReadOrStored) {
  std::string results[3];
  const size_t bufferSizes[3] = {0, 7, kDefaultChannelBufferSize};
  for (int run = 0; run < 3; ++run) {
    SetChannelBufferSize(bufferSizes[run]);
    std::mt19937 random(12345);
    const std::string name = tmp.Child("mixed");
    ASSERT_TRUE(OpenFile(4, StrValue(name.c_str()), 0));
    WriteString(4, StrValue(std::string(40, '-').c_str()));  // every read below finds its bytes
    std::string& seen = results[run];
    for (int step = 0; step < 2000; ++step) {
      switch (random() % 5) {
        case 0:
        case 1:
          WriteString(4, StrValue(std::string(random() % 20 + 1, char('a' + step % 26)).c_str()));
          break;
        case 2:
          WriteLine(4, StrValue("line"));
          break;
        case 3:
          FileSeek(4, int64_t(random() % 64), 0);
          break;
        case 4: {  // a read right behind a write
          StrValue text;
          FileSeek(4, int64_t(random() % 24), 0);
          WriteString(4, StrValue("#"));
          ReadString(4, text.str(), int32_t(random() % 8 + 1));
          seen += std::string(text.view()) + "|";
        }
      }
    }
    CloseFile(4);
    seen += Read("mixed");
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(results[0], results[2]);
}

// Lines, bytes, strings, seeks and writes in a random mix over a file larger than the read-ahead
// window: every value read, every position and end answer, and the bytes left on disk are the
// same with and without reading ahead.
TEST_F(FileCommands, ReadingAheadNeverChangesWhatIsReadOrWhereTheChannelStands) {
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) {
    text += std::string(size_t(i * 37 % 1500), char('a' + i % 26)) + (i % 3 ? "\r\n" : "\n");
  }
  std::string traces[2];
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    SetChannelReadAhead(mode == 1);
    std::mt19937 random(99);
    const std::string name = Disk("ahead.txt", text);
    ASSERT_TRUE(OpenFile(5, StrValue(name.c_str()), 1));
    for (const int32_t channelMode : {1, 0}) {
      if (channelMode == 0) {  // the same walk on a channel that also writes, over the same text
        CloseFile(5);
        ASSERT_TRUE(OpenFile(5, StrValue(name.c_str()), 0));
        WriteString(5, StrValue(text.c_str()));
        FileSeek(5, 0, 0);
      }
      std::string& trace = traces[mode];
      for (int step = 0; step < 3000; ++step) {
        const int64_t size = int64_t(text.size());
        if (step % 10 == 0) FileSeek(5, int64_t(random() % uint32_t(size - 5000)), 0);
        StrValue read;
        switch (random() % 6) {
          case 0:
          case 1: trace += LineOf(5); break;
          case 2: {
            int32_t byte;
            ReadUInt8(5, byte);
            trace += char(byte);
            break;
          }
          case 3: ReadString(5, read.str(), int32_t(random() % 3000 + 1)); break;
          case 4: FileSeek(5, int64_t(random() % 200) - 100, random() % 2 ? 1 : -1); break;
          case 5:
            if (channelMode == 0) WriteString(5, StrValue("#"));
            break;
        }
        trace += std::string(read.view()) + "|" + std::to_string(FilePosition(5)) +
                 (ChannelAtEnd(5) ? "E" : "") + ";";
        if (FilePosition(5) > size - 4000 || FilePosition(5) < 0) FileSeek(5, 0, 0);
      }
    }
    CloseFile(5);
    traces[mode] += Read("ahead.txt");
  }
  EXPECT_EQ(traces[0], traces[1]);
}

TEST_F(FileCommands, TypedValuesGoOutLittleEndianAndComeBack) {
  for (size_t bufferSize : {kDefaultChannelBufferSize, size_t(0), size_t(5)}) {
    SetChannelBufferSize(bufferSize);
    ASSERT_TRUE(OpenFile(0, StrValue(tmp.Child("typed.bin").c_str()), 0));
    WriteFloat32(0, 1.5);
    WriteFloat64(0, -0.1);
    WriteLong(0, -2);
    WriteUInt32(0, 0xFFFFFFFEu);
    WriteInt16(0, -1);
    WriteUInt16(0, 0x12345);
    WriteInt8(0, -1);
    WriteUInt8(0, 0x1FF);
    WriteLine(0, StrValue("x"));
    WriteLine(0, StrValue(""));
    WriteString(0, StrValue(""));
    StrValue nul;
    StrGetBuffer(nul.str(), 1)[0] = '\0';
    nul.str().length = 1;
    WriteString(0, nul);
    EXPECT_EQ(FilePosition(0), 0);
    CloseFile(0);
    EXPECT_EQ(Read("typed.bin"), std::string("\x00\x00\xC0\x3F"
                                             "\x9A\x99\x99\x99\x99\x99\xB9\xBF"
                                             "\xFE\xFF\xFF\xFF\xFE\xFF\xFF\xFF"
                                             "\xFF\xFF\x45\x23\xFF\xFF"
                                             "x\r\n\r\n\0",
                                             32));
  }

  ASSERT_TRUE(OpenFile(0, StrValue(tmp.Child("typed.bin").c_str()), 1));
  double number = 0;
  ReadFloat32(0, number);
  EXPECT_EQ(number, 1.5);
  ReadFloat64(0, number);
  EXPECT_EQ(number, -0.1);
  const auto next = [](void (*read)(int32_t, int32_t&)) {
    int32_t value = 0;
    read(0, value);
    return value;
  };
  EXPECT_EQ(next(ReadInt32), -2);
  EXPECT_EQ(next(ReadUInt32), -2);
  EXPECT_EQ(next(ReadInt16), -1);
  FileSeek(0, -2, 1);
  EXPECT_EQ(next(ReadUInt16), 65535);
  EXPECT_EQ(next(ReadUInt16), 0x2345);
  EXPECT_EQ(next(ReadInt8), -1);
  EXPECT_EQ(next(ReadUInt8), 255);
  EXPECT_EQ(LineOf(0), "x");
  EXPECT_EQ(LineOf(0), "");
  EXPECT_EQ(next(ReadUInt8), 0);
  EXPECT_TRUE(ChannelAtEnd(0));
}

TEST_F(FileCommands, SeeksCountFromTheStartThePositionOrTheRecordedSize) {
  MemoryFile memory("0123456789");
  for (const std::string& name : {Disk("digits", "0123456789"), memory.name}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(OpenFile(3, StrValue(name.c_str()), 1));
    StrValue text;
    FileSeek(3, -4, -1);
    ReadString(3, text.str(), 4);
    EXPECT_EQ(text.view(), "6789");
    FileSeek(3, 0, -1);
    EXPECT_TRUE(ChannelAtEnd(3));
    FileSeek(3, 2, 0);
    FileSeek(3, 3, 1);
    EXPECT_EQ(FilePosition(3), 5);
    ReadString(3, text.str(), 1);
    EXPECT_EQ(text.view(), "5");
    FileSeek(3, -1, 0);  // never clamped, and nothing is read from before the start
    EXPECT_EQ(FilePosition(3), -1);
    EXPECT_EQ(Outcome([] {
                int32_t v;
                ReadUInt8(3, v);
              }),
              kFatal3);
    EXPECT_EQ(Outcome([] { LineOf(3); }), kFatal3);
  }
}

TEST_F(FileCommands, WritesLandAtAMovedWritePoint) {
  const std::string name = tmp.Child("moved.txt");
  ASSERT_TRUE(OpenFile(0, StrValue(name.c_str()), 0));
  WriteString(0, StrValue("hello"));
  FileSeek(0, 1, 0);
  WriteString(0, StrValue("EY"));
  FileSeek(0, 0, 0);
  EXPECT_EQ(LineOf(0), "hEYlo");
  CloseFile(0);

  // Appending keeps size 0 in the record, so a seek from the end counts from 0.
  ASSERT_TRUE(OpenFile(0, StrValue(name.c_str()), -1));
  WriteString(0, StrValue("!"));
  FileSeek(0, 1, -1);
  WriteString(0, StrValue("a"));
  CloseFile(0);
  EXPECT_EQ(Read("moved.txt"), "haYlo!");
}

TEST_F(FileCommands, TypedReadsRunningOutOfMemoryGoOnWhereDiskEnds) {
  MemoryFile memory("\xFF\xFF");
  ASSERT_TRUE(OpenFile(0, StrValue(memory.name.c_str()), 1));
  int32_t value = 9;
  EXPECT_EQ(Outcome([&] { ReadInt32(0, value); }), kGoesOn);
  EXPECT_EQ(value, 0xFFFF);  // the missing bytes read as 0
  EXPECT_EQ(Outcome([&] { ReadInt32(0, value); }), kGoesOn);
  EXPECT_EQ(value, 0);

  ASSERT_TRUE(OpenFile(1, StrValue(Disk("short", "\xFF\xFF").c_str()), 1));
  EXPECT_EQ(Outcome([&] { ReadInt32(1, value); }), kFatal3);
}

TEST_F(FileCommands, ReadStringKeepsEveryByteAndPadsWithNul) {
  MemoryFile memory(std::string("a\0b", 3));
  ASSERT_TRUE(OpenFile(0, StrValue(memory.name.c_str()), 1));
  StrValue text("old");
  ReadString(99, text.str(), 0);  // the channel is not looked at
  EXPECT_EQ(text.view(), "");
  ReadString(0, text.str(), 5);
  EXPECT_EQ(text.view(), std::string("a\0b\0\0", 5));
  EXPECT_EQ(text.c_str()[5], 0);
}

TEST_F(FileCommands, MisuseEndsTheProgramWithItsCode) {
  MemoryFile memory("m");
  ASSERT_TRUE(OpenFile(1, StrValue(memory.name.c_str()), 1));
  ASSERT_TRUE(OpenFile(2, StrValue(Disk("r", "r").c_str()), 1));
  ASSERT_TRUE(OpenFile(3, StrValue(tmp.Child("a").c_str()), -1));
  const StrValue text("t");
  struct Case {
    const char* what;
    std::function<void()> code;
    Ended outcome;
  };
  int32_t v;
  double d;
  const Case cases[] = {
      {"close 8", [] { CloseFile(8); }, kFatal7},
      {"close -1", [] { CloseFile(-1); }, kFatal7},
      {"seek 8", [] { FileSeek(8, 0, 0); }, kFatal7},
      {"position 8", [] { FilePosition(8); }, kFatal7},
      {"write 8", [&] { WriteString(8, text); }, kFatal7},
      {"read 8", [&] { ReadInt8(8, v); }, kFatal7},
      {"line 8", [] { LineOf(8); }, kFatal7},
      {"write closed", [&] { WriteLong(0, 1); }, kFatal3},
      {"write memory", [&] { WriteString(1, text); }, kFatal3},
      {"write read channel", [&] { WriteFloat64(2, 1); }, kFatal3},
      {"read closed", [&] { ReadFloat32(0, d); }, kFatal3},
      {"line closed", [] { LineOf(0); }, kFatal3},
      {"read append channel", [&] { ReadUInt8(3, v); }, kFatal3},
      {"empty write on a closed channel", [&] { WriteString(0, StrValue()); }, kGoesOn},
      {"close closed", [] { CloseFile(5); }, kGoesOn},
      {"seek closed", [] { FileSeek(5, 3, 0); }, kGoesOn},
  };
  for (const Case& c : cases) EXPECT_EQ(Outcome(c.code), c.outcome) << c.what;
  EXPECT_EQ(FilePosition(5), 0);
}

TEST_F(FileCommands, OpenAnswersFalseWithCodeSevenOrThreeAndGoesOn) {
  const std::string held = Disk("held", "keep me");
  ASSERT_TRUE(OpenFile(0, StrValue(held.c_str()), 1));
  MemoryFile memory("m");
  struct Case {
    int32_t channel;
    std::string name;
    int32_t mode;
    int32_t code;
  };
  const Case cases[] = {
      {8, tmp.Child("new"), 0, 7},
      {-1, tmp.Child("new"), 0, 7},
      {1, memory.name, 0, 3},
      {1, memory.name, -1, 3},
      {1, tmp.Child("missing"), 1, 3},
      {1, tmp.path.string(), 1, 3},
      {1, tmp.Child(std::string(1100, 'n')), 0, 3},
      // A file another channel holds is refused in every mode, and never deleted or cut.
      {1, held, 1, 3},
      {1, held, 0, 3},
      {1, held, -1, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Outcome([&] { EXPECT_FALSE(OpenFile(c.channel, StrValue(c.name.c_str()), c.mode)); }),
              Ended(-1, c.code))
        << c.name.substr(0, 80) << " mode " << c.mode;
  }
  EXPECT_EQ(LineOf(0), "keep me");
  EXPECT_EQ(FirstFreeChannel(), 1);
  EXPECT_TRUE(ChannelAtEnd(99));
  EXPECT_TRUE(ChannelAtEnd(1));
}

TEST_F(FileCommands, OpeningClosesWhatTheChannelHeldEvenWhenItFails) {
  MemoryFile memory("m");
  ASSERT_TRUE(OpenFile(0, StrValue(memory.name.c_str()), 1));
  EXPECT_EQ(LastErrorCode, 3);  // not found by the resolver, opened as it stands all the same
  EXPECT_EQ(FirstFreeChannel(), 1);
  ASSERT_TRUE(OpenFile(0, StrValue(tmp.Child("w").c_str()), 0));
  WriteString(0, StrValue("written"));
  EXPECT_FALSE(OpenFile(0, StrValue(tmp.Child("missing").c_str()), 1));
  EXPECT_EQ(FirstFreeChannel(), 0);
  EXPECT_EQ(Read("w"), "written");

  for (int32_t channel = 0; channel < 8; ++channel) {
    ASSERT_TRUE(OpenFile(channel, StrValue(memory.name.c_str()), 1));
  }
  EXPECT_EQ(FirstFreeChannel(), -1);
}

TEST_F(FileCommands, WriteModeReplacesAnEmptyFolderOfThatName) {
  fs::create_directory(tmp.Child("was-a-folder"));
  ASSERT_TRUE(OpenFile(0, StrValue(tmp.Child("was-a-folder").c_str()), 0));
  CloseFile(0);
  EXPECT_TRUE(fs::is_regular_file(tmp.Child("was-a-folder")));
}

TEST_F(FileCommands, AMemoryChannelKeepsReadingAfterTheArchiveMovesOn) {
  using namespace archive_builder;
  const std::string archive = tmp.Child("media.qzx");
  const Bytes image =
      BuildArchive({{"first.txt", {'o', 'n', 'e', '\n'}}, {"second.txt", {'2'}}}, true);
  TempDir::WriteBytes(archive, std::string(image.begin(), image.end()));
  PackArchiveSetName(MemoryArchive, archive);

  ASSERT_TRUE(OpenFile(0, StrValue("data/first.txt"), 1));
  EXPECT_EQ(LastErrorCode, 0);
  std::string resolved;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, "second.txt", resolved, true));
  EXPECT_EQ(LineOf(0), "one");
  PackArchiveSetName(MemoryArchive, "");
}

TEST_F(FileCommands, FileCopyCopiesDiskAndMemoryFilesWhole) {
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  MemoryFile memory("from memory");
  struct Case {
    std::string source;
    std::string expected;
  };
  const Case cases[] = {
      {Disk("big", big), big}, {memory.name, "from memory"}, {Disk("empty", ""), ""}};
  for (const Case& c : cases) {
    Disk("copy", "old content that is longer");
    FileCopy(StrValue(c.source.c_str()), StrValue(tmp.Child("copy").c_str()));
    EXPECT_EQ(LastErrorCode, 0);
    EXPECT_EQ(Read("copy"), c.expected);
  }

  // Neither side may be missing, a memory name or a file a channel holds.
  const std::string held = Disk("held", "held");
  ASSERT_TRUE(OpenFile(0, StrValue(held.c_str()), -1));
  const std::string copy = tmp.Child("copy");
  const std::pair<std::string, std::string> refused[] = {
      {tmp.Child("missing"), copy}, {cases[0].source, memory.name}, {held, copy}, {copy, held}};
  for (const auto& [source, target] : refused) {
    FileCopy(StrValue(source.c_str()), StrValue(target.c_str()));
    EXPECT_EQ(LastErrorCode, 3) << source << " to " << target;
  }
  EXPECT_EQ(Read("copy"), "");
  EXPECT_EQ(Read("held"), "held");
}

// Files may grow only to a few bytes meanwhile, so writes beyond fail as on a full disk.
struct FileSizeLimit {
  rlimit previous{};
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, SIG_DFL);
  }
};

TEST_F(FileCommands, AFailedCopyLeavesNoPartialTargetAndSaysSo) {
  const std::string source = Disk("source", std::string(100000, 's'));
  FileSizeLimit limit(5000);
  FileCopy(StrValue(source.c_str()), StrValue(tmp.Child("target").c_str()));
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_FALSE(fs::exists(tmp.Child("target")));
}

TEST_F(FileCommands, AWriteThatCannotReachTheDiskEndsTheProgramWhenItIsFlushed) {
  for (void (*close)() : {+[] { CloseFile(0); }, CloseAllFiles}) {
    ASSERT_TRUE(OpenFile(0, StrValue(tmp.Child("full").c_str()), 0));
    FileSizeLimit limit(10);
    WriteString(0, StrValue("more than ten bytes"));
    EXPECT_EQ(Outcome(close), kFatal3);
    EXPECT_EQ(FirstFreeChannel(), 0);
  }
}

TEST_F(FileCommands, AFileAChannelWritesIsNeitherWrittenBackNorDeleted) {
  const std::string ini = Disk("settings.ini", "[S]\nk=1\n");
  const std::string lines = Disk("lines.txt", "line\r\n");
  IniOpen(StrValue(ini.c_str()));
  IniPut(StrValue("S"), StrValue("k"), StrValue("2"));
  PutTextLine(StrValue(lines.c_str()), 0, StrValue("changed"));
  ASSERT_TRUE(OpenFile(0, StrValue(ini.c_str()), -1));
  ASSERT_TRUE(OpenFile(1, StrValue(lines.c_str()), -1));
  IniOpen(StrValue(""));
  EXPECT_EQ(LastErrorCode, 3);
  TextLineCacheRelease();
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(DeletePath(StrValue(ini.c_str())), 0);
  WriteString(0, StrValue("k=3\n"));
  WriteString(1, StrValue("appended"));
  CloseAllFiles();
  EXPECT_EQ(Read("settings.ini"), "[S]\nk=1\nk=3\n");
  EXPECT_EQ(Read("lines.txt"), "line\r\nappended");
}

TEST_F(FileCommands, SetCurrentDirWritesTheSlashFormBack) {
  const fs::path previous = fs::current_path();
  fs::create_directories(tmp.Child("a/b"));
  StrValue path((tmp.path.string() + "\\a\\b").c_str());
  EXPECT_EQ(SetCurrentDir(path.str()), 1.0);
  EXPECT_EQ(path.view(), tmp.Child("a/b"));
  EXPECT_EQ(fs::current_path(), fs::path(tmp.Child("a/b")));
  StrValue missing("no/such/folder");
  EXPECT_EQ(SetCurrentDir(missing.str()), 0.0);
  EXPECT_EQ(LastErrorCode, 3);
  fs::current_path(previous);
}

int gHookCalls = 0;

TEST_F(FileCommands, CloseAllFilesClosesEveryChannelThenCallsTheToolHook) {
  gHookCalls = 0;
  SetToolEmptyHook([] { ++gHookCalls; });
  for (int32_t channel : {0, 7}) {
    ASSERT_TRUE(OpenFile(channel, StrValue(tmp.Child("c" + std::to_string(channel)).c_str()), 0));
    WriteString(channel, StrValue("pending"));
  }
  CloseAllFiles();
  EXPECT_EQ(gHookCalls, 1);
  EXPECT_EQ(FirstFreeChannel(), 0);
  EXPECT_EQ(Read("c0"), "pending");
  EXPECT_EQ(Read("c7"), "pending");
}

}  // namespace
