// File-system and environment commands, and the name matching the directory listing shares.
#include "system/filesystem_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/last_error.h"
#include "core/str_value.h"
#include "system/name_match.h"
#include "tests/support/debug_capture.h"
#include "tests/support/memory_file.h"
#include "tests/support/program_end.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string Taken(Str s) {
  return std::string(StrValue::Adopt(s).view());
}

TEST(WildcardMatch, MatchesNamesAsTheListingDoes) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.txt", "A.TXT", true}, {"a?c", "abc", true},       {"a?c", "a.c", false},
      {"abc", "ab", false},     {"ab", "abc", false},       {"a*b", "ab", true},
      {"a*b", "axxb", true},    {"a*b", "axbx", false},     {"*.*", "noext", true},
      {"*.*", "", true},        {"a**", "a", true},         {"*x*y", "axbxcy", true},
      {"", "", true},           {"", "a", false},           {"?", "", false},
      {"*a", "bab", false},     {"*.txt", "a.txt.bak", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
  }
}

TEST(CompareNoCase, FoldsToLowerCase) {
  EXPECT_LT(CompareNoCase(StrValue("_a"), StrValue("B")), 0);  // 0x5F before 0x62
  EXPECT_EQ(CompareNoCase(StrValue("Data"), StrValue("dATA")), 0);
  EXPECT_GT(CompareNoCase(StrValue("ab"), StrValue("A")), 0);
  EXPECT_LT(CompareNoCase(StrValue(""), StrValue("a")), 0);
  const StrValue high("\xE9"), low("e");
  EXPECT_GT(CompareNoCase(&high.str(), &low.str()), 0);  // bytes above 127 count as unsigned
}

TEST(FileSystemCommands, TellFilesFromFolders) {
  TempDir tmp;
  TempDir::WriteBytes(tmp.Child("file"), "12345");
  fs::create_directory(tmp.Child("folder"));
  fs::create_symlink(tmp.Child("folder"), tmp.Child("link-to-folder"));
  struct Case {
    std::string path;
    bool file, folder;
  };
  const Case cases[] = {
      {tmp.Child("file"), true, false},
      {tmp.Child("folder"), false, true},
      {tmp.Child("link-to-folder"), false, true},
      {tmp.Child("missing"), false, false},
      {tmp.Child("FILE"), false, false},  // letter case counts
      {tmp.path.string() + "\\file", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileExists(StrValue(c.path.c_str())), c.file) << c.path;
    EXPECT_EQ(DirectoryExists(StrValue(c.path.c_str())), c.folder) << c.path;
  }
}

TEST(FileSystemCommands, SizeOfDiskAndMemoryFiles) {
  TempDir tmp;
  TempDir::WriteBytes(tmp.Child("file"), "12345");
  MemoryFile memory("123");
  EXPECT_EQ(FileSizeOf(StrValue(tmp.Child("file").c_str())), 5);
  EXPECT_EQ(FileSizeOf(StrValue(memory.name.c_str())), 3);
  EXPECT_EQ(LastErrorCode, 0);
  for (const std::string& name : {tmp.Child("missing"), tmp.path.string()}) {
    EXPECT_EQ(FileSizeOf(StrValue(name.c_str())), 0);
    EXPECT_EQ(LastErrorCode, 3);
  }
  LastErrorCode = 0;
}

TEST(FileSystemCommands, CreateAndDeletePaths) {
  TempDir tmp;
  const StrValue folder(tmp.Child("made").c_str());
  EXPECT_TRUE(CreateDir(folder));
  EXPECT_FALSE(CreateDir(folder));
  TempDir::WriteBytes(tmp.Child("made/inside"), "x");
  EXPECT_EQ(DeletePath(folder), 0);  // a folder goes only when empty
  EXPECT_EQ(DeletePath(StrValue(tmp.Child("made/inside").c_str())), 1);
  EXPECT_EQ(DeletePath(folder), 1);
  EXPECT_FALSE(fs::exists(tmp.Child("made")));

  TempDir::WriteBytes(tmp.Child("target"), "kept");
  fs::create_symlink(tmp.Child("target"), tmp.Child("link"));
  EXPECT_EQ(DeletePath(StrValue(tmp.Child("link").c_str())), 1);
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("target")), "kept");
  EXPECT_EQ(DeletePath(StrValue(tmp.Child("link").c_str())), 0);
}

TEST(FileSystemCommands, CurrentDirEndsInOneSlash) {
  TempDir tmp;
  const fs::path previous = fs::current_path();
  fs::current_path("/");
  EXPECT_EQ(Taken(GetCurrentDir()), "/");
  fs::current_path(tmp.path);
  EXPECT_EQ(Taken(GetCurrentDir()), fs::current_path().string() + "/");
  fs::current_path(previous);
}

TEST(FileSystemCommands, EnvironmentSetReadAndRemoved) {
  StrValue name("QRN_TEST_VARIABLE");
  PutEnvironment(name.str(), StrValue("a=b c"));
  EXPECT_EQ(name.view(), "QRN_TEST_VARIABLE=a=b c");
  EXPECT_EQ(Taken(GetEnvironment(StrValue("QRN_TEST_VARIABLE"))), "a=b c");
  const std::string all = Taken(GetEnvironment(StrValue("")));
  EXPECT_NE(all.find("QRN_TEST_VARIABLE=a=b c\n"), std::string::npos);
  EXPECT_EQ(all.back(), '\n');

  StrValue again("QRN_TEST_VARIABLE");
  PutEnvironment(again.str(), StrValue(""));
  EXPECT_EQ(std::getenv("QRN_TEST_VARIABLE"), nullptr);
  EXPECT_EQ(Taken(GetEnvironment(StrValue("QRN_TEST_VARIABLE"))), "");
}

TEST(FileSystemCommands, BackslashToSlashInPlace) {
  StrValue path("a\\b\\c.txt");
  EXPECT_EQ(BackslashToSlash(path.str()), 9);
  EXPECT_EQ(path.view(), "a/b/c.txt");
}

TEST(FileSystemCommands, AFailedAssertionEndsWithCode21) {
  DebugCapture capture;
  EXPECT_EQ(EndStatusOf([] { AssertReport(5); }), -1);
  EXPECT_EQ(EndStatusOf([] { AssertReport(0); }), 1);
  EXPECT_EQ(LastErrorCode, 21);
  ASSERT_FALSE(capture.lines.empty());
  EXPECT_EQ(capture.lines.front(), "TXAssertion: Value = 0\n");
  LastErrorCode = 0;
}

}  // namespace
