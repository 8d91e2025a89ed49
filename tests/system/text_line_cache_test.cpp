// The text-line cache: marker texts, line numbering, write-back of what the program changed
// and of what it never saw.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/last_error.h"
#include "core/str_value.h"
#include "system/pack_archive.h"
#include "system/text_line_commands.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Answer {
  int32_t result;
  std::string text;
};

class TextLineCacheTest : public ::testing::Test {
 protected:
  TempDir tmp;
  std::string Disk(const std::string& name, const std::string& bytes) {
    TempDir::WriteBytes(tmp.Child(name), bytes);
    return tmp.Child(name);
  }
  // Another name: the cache writes back and leaves the file alone.
  void MoveOn() { Line(tmp.Child("elsewhere"), 0); }
  void TearDown() override { TextLineCacheRelease(); }

  static Answer Line(const std::string& file, int32_t line) {
    StrValue out;
    const int32_t result = GetTextLine(StrValue(file.c_str()), line, out.str());
    return {result, out.c_str()};
  }
  static int32_t Store(const std::string& file, int32_t line, const std::string& text) {
    return PutTextLine(StrValue(file.c_str()), line, StrValue(text.c_str()));
  }
};

bool operator==(const Answer& a, const Answer& b) {
  return a.result == b.result && a.text == b.text;
}
void PrintTo(const Answer& a, std::ostream* out) {
  *out << a.result << " \"" << a.text << "\"";
}

std::string NumberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

}  // namespace

TEST_F(TextLineCacheTest, MarkerTextsAndCodes) {
  const std::string file = Disk("two.txt", "first\r\n\t\x01\n");
  const struct {
    int32_t line;
    Answer expected;
    int32_t code;
  } cases[] = {
      {0, {0, "first"}, 0},     {1, {0, "NO_DATA"}, 0},  {3, {0, "NO_DATA"}, 0},
      {256, {7, "NO_DATA"}, 7}, {-1, {7, "NO_DATA"}, 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Line(file, c.line), c.expected) << c.line;
    EXPECT_EQ(LastErrorCode, c.code) << c.line;
  }
}

TEST_F(TextLineCacheTest, AMissingFileIsReportedOnceThenReadsAsEmpty) {
  const std::string file = tmp.Child("absent.txt");
  EXPECT_EQ(Line(file, 0), (Answer{3, "NO_FILE"}));
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(Line(file, 0), (Answer{0, "NO_DATA"}));
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(Line(std::string(1100, 'n'), 0), (Answer{3, "NO_FILE"}));
}

TEST_F(TextLineCacheTest, AStoredLineMakesTheFileWithEmptyLinesBeforeIt) {
  const std::string file = tmp.Child("new.txt");
  EXPECT_EQ(Store(file, 5, "t"), 0);
  MoveOn();
  EXPECT_EQ(TempDir::ReadBytes(file), "\r\n\r\n\r\n\r\n\r\nt\r\n");
}

TEST_F(TextLineCacheTest, TheSameNameIsNotReloadedButAnotherCaseIs) {
  const std::string file = Disk("Case.txt", "disk\n");
  EXPECT_EQ(Line(file, 0).text, "disk");
  TempDir::WriteBytes(file, "changed on disk\n");
  EXPECT_EQ(Line(file, 0).text, "disk");
  Store(file, 1, "stored");
  const std::string otherCase = tmp.Child("CASE.txt");
  EXPECT_EQ(Line(otherCase, 0).result, 3);
  EXPECT_EQ(TempDir::ReadBytes(file), "disk\r\nstored\r\n");
}

TEST_F(TextLineCacheTest, NumbersAreStoredAndReadAsTheLanguageWritesThem) {
  const std::string file = tmp.Child("numbers.txt");
  const StrValue name(file.c_str());
  PutTextLineNumber(name, 0.9, 2.5);
  PutTextLineNumber(name, 1, 0.0);
  PutTextLineNumber(name, 2, 1e12);
  double number = 0;
  GetTextLineNumber(name, 0, number);
  EXPECT_EQ(number, 2.5);
  int32_t whole = -1;
  GetTextLineInt(name, 1.7, whole);
  EXPECT_EQ(whole, 0);
  MoveOn();
  EXPECT_EQ(TempDir::ReadBytes(file), "2.5\r\n0\r\n1.e+012\r\n");
}

TEST_F(TextLineCacheTest, OverlongTextsAndLinesOutsideTheRangeStoreNothing) {
  const std::string file = tmp.Child("refused.txt");
  EXPECT_EQ(Store(file, 0, std::string(1024, 'x')), 7);
  EXPECT_EQ(LastErrorCode, 7);
  EXPECT_EQ(Store(file, 256, "x"), 7);
  EXPECT_EQ(PutTextLineAt(StrValue(file.c_str()), -0.5, StrValue("zero")), 0);
  EXPECT_EQ(Store(file, 1, std::string(1023, 'y')), 0);
  MoveOn();
  EXPECT_EQ(TempDir::ReadBytes(file), "zero\r\n" + std::string(1023, 'y') + "\r\n");
}

TEST_F(TextLineCacheTest, WhatTheCacheCannotHoldIsWrittenBackUnchanged) {
  const std::string longLine(3000, 'L');
  const std::string original = "a\n" + longLine + "\nb\n" + NumberedLines(297) + "tail";
  const std::string file = Disk("big.txt", original);
  EXPECT_EQ(Line(file, 1).text, std::string(1023, 'L'));
  EXPECT_EQ(Line(file, 2).text, "b");  // the rest of a long line is not a line of its own
  EXPECT_EQ(Line(file, 255).text, "line 252");
  Store(file, 3, "changed");
  MoveOn();
  std::string expected = "a\r\n" + longLine + "\r\nb\r\nchanged\r\n";
  const std::string rest = NumberedLines(297) + "tail";
  expected += rest.substr(rest.find("line 1\r\n"));
  EXPECT_EQ(TempDir::ReadBytes(file), expected);
}

TEST_F(TextLineCacheTest, AFileFromPackedMediaIsNeverWritten) {
  using namespace archive_builder;
  const std::string archive = tmp.Child("media.qzx");
  const Bytes image = BuildArchive({{"packed.txt", {'p', '\n'}}}, true);
  TempDir::WriteBytes(archive, std::string(image.begin(), image.end()));
  PackArchiveSetName(MemoryArchive, archive);
  const std::string name = tmp.Child("packed.txt");
  EXPECT_EQ(Line(name, 0), (Answer{0, "p"}));
  Store(name, 0, "changed");
  MoveOn();
  PackArchiveSetName(MemoryArchive, "");
  EXPECT_FALSE(fs::exists(name));
}

// Taken from the root, the name is the test's own file, which any user can write.
TEST_F(TextLineCacheTest, ARelativeNameWithoutACurrentFolderIsNeverWritten) {
  const fs::path file = fs::absolute(tmp.Child("lost.txt"));
  {
    RemovedCurrentFolder gone(tmp);
    Store(file.relative_path().string(), 0, "line");
    TextLineCacheRelease();
    EXPECT_EQ(LastErrorCode, 3);
  }
  EXPECT_FALSE(fs::exists(file)) << "written to the root folder";
}

namespace {

// In a child process: files may grow to 1 KiB only, so the write-back fails as on a full disk.
void ChangeUnderFileSizeLimit(const std::string& file) {
  PutTextLine(StrValue(file.c_str()), 0, StrValue(std::string(1000, 'n').c_str()));
  PutTextLine(StrValue(file.c_str()), 1, StrValue(std::string(1000, 'm').c_str()));
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{1024, 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  TextLineCacheRelease();
  std::_Exit(0);
}

}  // namespace

TEST_F(TextLineCacheTest, AWriteBackThatFailsPartWayKeepsTheOldFile) {
  const std::string original = NumberedLines(300);
  const std::string file = Disk("keep.txt", original);
  EXPECT_EXIT(ChangeUnderFileSizeLimit(file), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(TempDir::ReadBytes(file), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path), fs::directory_iterator()), 1);
}
