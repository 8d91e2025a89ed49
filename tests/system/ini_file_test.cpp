// INI objects: the grammar, lookups, changes through the process-wide object, and write-backs
// that keep the old file when the new one cannot be written.
#include "system/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/last_error.h"
#include "core/str_value.h"
#include "system/ini_commands.h"
#include "system/pack_archive.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char kExample[] = "; note\n[Video]\nWidth = 640\ndepth=32 \n[Empty]\n[Audio]\non=\n";

class IniFile : public ::testing::Test {
 protected:
  TempDir tmp;
  std::string Disk(const std::string& name, const std::string& bytes) {
    TempDir::WriteBytes(tmp.Child(name), bytes);
    return tmp.Child(name);
  }
  std::string Parsed(const std::string& bytes) {
    IniObject object;
    IniLoad(object, StrValue(Disk("parsed.ini", bytes).c_str()));
    return IniText(object);
  }
  std::string ProcessWideText() { return IniText(GetIniObject()); }
  void TearDown() override { IniOpen(StrValue("")); }
};

std::string Get(const char* section, const char* key, const char* fallback = "x") {
  return StrValue::Adopt(IniGet(StrValue(section), StrValue(key), StrValue(fallback))).c_str();
}

void Put(const char* section, const char* key, const char* value) {
  IniPut(StrValue(section), StrValue(key), StrValue(value));
}

// In a child process: files may grow to 1 KiB only, so the write-back fails as on a full disk.
void ChangeUnderFileSizeLimit(const std::string& file) {
  IniOpen(StrValue(file.c_str()));
  Put("S", "k", std::string(4096, 'n').c_str());
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{1024, 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  IniOpen(StrValue(""));
  std::_Exit(0);
}

}  // namespace

TEST_F(IniFile, TheExampleFileKeepsOnlySectionsWithValues) {
  IniObject object;
  IniLoad(object, StrValue(Disk("example.ini", kExample).c_str()));
  ASSERT_EQ(object.sections.size(), 1u);
  EXPECT_STREQ(object.sections[0].name.c_str(), "Video");
  ASSERT_EQ(object.sections[0].keys.size(), 2u);
  EXPECT_STREQ(object.sections[0].keys[1].value.c_str(), "32 ");
  const StrValue width =
      StrValue::Adopt(IniLookup(object, StrValue("video"), StrValue("WIDTH"), StrValue("x")));
  EXPECT_STREQ(width.c_str(), "640");
  const StrValue missing =
      StrValue::Adopt(IniLookup(object, StrValue("Audio"), StrValue("on"), StrValue("fallback")));
  EXPECT_STREQ(missing.c_str(), "fallback");
}

TEST_F(IniFile, GrammarOfHeadersAndPairs) {
  const struct {
    const char* file;
    const char* parsed;
  } cases[] = {
      {"[Main] ; c\nx=1\n", "[Main]\r\nx=1\r\n"},
      {"[a b]\nx=1\n", "[a]\r\nx=1\r\n"},
      {"[ Tight]\nx=1\n", "[Tight]\r\nx=1\r\n"},
      {"a b = 1\n", ""},
      {"a=b=c\n", "[]\r\na=b=c\r\n"},
      {"  key \t=  v ; not a comment \r\n", "[]\r\nkey=v ; not a comment \r\n"},
      {";x=1\nlonely\nempty=\n", ""},
      {"k= \x01\x02\nj=1\n", "[]\r\nk=\r\nj=1\r\n"},
      // A header without a name keeps the name of the section before it.
      {"[A]\nx=1\n[]\ny=2\n", "[A]\r\nx=1\r\n[A]\r\ny=2\r\n"},
      {"[A]\n[B]\nx=1\n", "[B]\r\nx=1\r\n"},
      // Lone carriage returns end lines; only a byte-order mark at the very start is one.
      {"[S]\rk=v\rj=w\r", "[S]\r\nk=v\r\nj=w\r\n"},
      {"[S]\r\nk=v\rj=w\n", "[S]\r\nk=v\r\nj=w\r\n"},
      {"\xEF\xBB\xBF[S]\r\nk=v\r\n", "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
      {"\xEF\xBB\xBF" "a=1\r[S]\rk=v", "\xEF\xBB\xBF[]\r\na=1\r\n[S]\r\nk=v\r\n"},
      {"[S]\n\xEF\xBB\xBFk=v\n", "[S]\r\n\xEF\xBB\xBFk=v\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Parsed(c.file), c.parsed) << c.file;
}

TEST_F(IniFile, TheFirstOfTwoSectionsOfOneNameAnswers) {
  IniObject object;
  IniLoad(object, StrValue(Disk("twice.ini", "[S]\na=1\n[s]\na=2\nb=3\n").c_str()));
  const StrValue b =
      StrValue::Adopt(IniLookup(object, StrValue("S"), StrValue("b"), StrValue("none")));
  EXPECT_STREQ(b.c_str(), "none");
}

TEST_F(IniFile, TheExampleRoundTripsByteForByte) {
  const std::string file = Disk("example.ini", kExample);
  IniOpen(StrValue(file.c_str()));
  Put("Video", "Width", "800");
  IniOpen(StrValue(""));
  EXPECT_EQ(TempDir::ReadBytes(file), "[Video]\r\nWidth=800\r\ndepth=32 \r\n");
}

TEST_F(IniFile, EmptyValuesAndKeysDeleteByMovingTheLastIntoPlace) {
  IniOpen(StrValue(Disk("put.ini", "[A]\na=1\nb=2\nc=3\n[B]\nx=1\n[C]\ny=2\n").c_str()));
  Put("A", "missing", "");
  EXPECT_EQ(GetIniObject().dirty, 0);
  Put("New", "missing", "");  // the section appears, but nothing changed worth writing
  EXPECT_EQ(GetIniObject().dirty, 0);
  Put("a", "A", "");
  EXPECT_EQ(GetIniObject().dirty, 1);
  Put("b", "", "");
  EXPECT_EQ(ProcessWideText(), "[A]\r\nc=3\r\nb=2\r\n[New]\r\n[C]\r\ny=2\r\n");
  Put("C", "z", "9");
  Put("c", "Y", "8");
  EXPECT_EQ(Get("C", "y"), "8");
  EXPECT_EQ(Get("C", "z"), "9");
}

TEST_F(IniFile, OpeningTheSameNameWritesChangesThenReloads) {
  const std::string file = Disk("same.ini", "[S]\nk=1\n");
  IniOpen(StrValue(file.c_str()));
  Put("S", "k", "2");
  IniOpen(StrValue(file.c_str()));
  EXPECT_EQ(GetIniObject().dirty, 0);
  EXPECT_EQ(Get("S", "k"), "2");
  EXPECT_EQ(TempDir::ReadBytes(file), "[S]\r\nk=2\r\n");
}

TEST_F(IniFile, AMissingFileIsMadeByTheFirstChange) {
  const std::string file = tmp.Child("new.ini");
  IniOpen(StrValue(file.c_str()));
  EXPECT_TRUE(GetIniObject().sections.empty());
  EXPECT_EQ(GetIniObject().name.c_str(), file);
  Put("S", "k", "v");
  IniOpen(StrValue(""));
  EXPECT_EQ(TempDir::ReadBytes(file), "[S]\r\nk=v\r\n");
}

TEST_F(IniFile, AFileFromPackedMediaIsNeverWritten) {
  using namespace archive_builder;
  const std::string archive = tmp.Child("media.qzx");
  const std::string text = "[S]\nk=packed\n";
  const Bytes image = BuildArchive({{"packed.ini", Bytes(text.begin(), text.end())}}, false);
  TempDir::WriteBytes(archive, std::string(image.begin(), image.end()));
  PackArchiveSetName(MemoryArchive, archive);
  const std::string name = tmp.Child("packed.ini");
  IniOpen(StrValue(name.c_str()));
  EXPECT_EQ(Get("S", "k"), "packed");
  Put("S", "k", "changed");
  IniOpen(StrValue(""));
  PackArchiveSetName(MemoryArchive, "");
  EXPECT_FALSE(fs::exists(name));
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path), fs::directory_iterator()), 1);
}

TEST_F(IniFile, AnotherChangeKeepsLongValuesTheModeAndTheLinkToTheFile) {
  const auto privateMode = fs::perms::owner_read | fs::perms::owner_write;
  const std::string value = std::string(3000, 'v') + "=w";
  fs::permissions(Disk("real.ini", "[S]\nlong=" + value + "\n"), privateMode);
  fs::create_symlink("real.ini", tmp.Child("link.ini"));
  IniOpen(StrValue(tmp.Child("link.ini").c_str()));
  Put("S", "other", "1");
  IniOpen(StrValue(""));
  EXPECT_TRUE(fs::is_symlink(tmp.Child("link.ini")));
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("real.ini")), "[S]\r\nlong=" + value + "\r\nother=1\r\n");
  EXPECT_EQ(fs::status(tmp.Child("real.ini")).permissions(), privateMode);
}

TEST_F(IniFile, WhatTheFileCannotHoldIsRefusedAndTheRestReloadsAsStored) {
  const struct {
    const char *section, *key, *value;
    bool held;
  } cases[] = {
      {"main", "x", "1\r\n[admin]\r\nrights=all", false}, {"main", "a b", "1", false},
      {"main", "a=b", "1", false}, {"main", ";a", "1", false}, {"main", "[a", "1", false},
      {"a]b", "k", "1", false}, {"a b", "k", "1", false}, {"main", "lead", "  v", false},
      {"main", "tab", "v\t", false}, {"main", "trail", "v  ", true},
      {"main", "inner", "a = b ; [c]", true}, {"k[1", "a;b", "=v", true},
      {"", "nameless", "after named ones", true},
  };
  const std::string file = tmp.Child("kinds.ini");
  IniOpen(StrValue(file.c_str()));
  for (const auto& c : cases) {
    LastErrorCode = 0;
    Put(c.section, c.key, c.value);
    EXPECT_EQ(LastErrorCode, c.held ? 0 : 7) << c.key;
  }
  IniOpen(StrValue(file.c_str()));
  for (const auto& c : cases) {
    EXPECT_EQ(Get(c.section, c.key, "absent"), c.held ? c.value : "absent") << c.key;
  }
}

// A relative name read while the current folder was gone names no file: the change is refused
// rather than written to the root folder. Taken from the root, the name is the test's own file,
// which any user can write.
TEST_F(IniFile, ARelativeNameWithoutACurrentFolderIsNeverWritten) {
  const fs::path file = fs::absolute(tmp.Child("lost.ini"));
  {
    RemovedCurrentFolder gone(tmp);
    IniOpen(StrValue(file.relative_path().c_str()));
    Put("S", "k", "v");
    IniOpen(StrValue(""));
    EXPECT_EQ(LastErrorCode, 3);
  }
  EXPECT_FALSE(fs::exists(file)) << "written to the root folder";
}

TEST_F(IniFile, AWriteBackThatFailsPartWayKeepsTheOldFile) {
  const std::string original = "[S]\nk=old\n";
  const std::string file = Disk("keep.ini", original);
  EXPECT_EXIT(ChangeUnderFileSizeLimit(file), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(TempDir::ReadBytes(file), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path), fs::directory_iterator()), 1);
}
