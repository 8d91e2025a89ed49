// File-name resolution: disk first, then the archive on disk or in memory, in memory and file
// mode, the release of earlier results, archives that are not worth reopening, and damage.
#include "system/pack_archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/files.h"
#include "system/archive_commands.h"
#include "system/memory_blocks.h"
#include "tests/support/pack_archive_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace archive_builder;
namespace fs = std::filesystem;

std::string AsString(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

class PackArchiveTest : public testing::Test {
 protected:
  TempDir dir{true};  // also the temporary folder of the code under test

  void TearDown() override {
    PackArchiveSetName(MemoryArchive, "");
    PackArchiveSetName(FileArchive, "");
  }

  std::string WriteArchive(const std::string& file, const Bytes& image) {
    std::string path = dir.Child(file);
    TempDir::WriteBytes(path, AsString(image));
    return path;
  }

  static std::string ReadMemoryName(const std::string& name) {
    MemoryBlock block = OpenMemoryFileName(name.c_str());
    return block ? AsString(*block) : "<unopenable>";
  }

  static std::vector<Entry> HeroEntries() {
    return {{"ero.png", Text("short")},
            {"xhero.png", Text("longer")},
            {"hero.png", Text("the hero")},
            {"tune.ogg", Text(std::string(5000, 'm'))}};
  }
};

TEST_F(PackArchiveTest, MemoryModeHandsOutARegistryNameUntilTheNextLookup) {
  PackArchiveSetName(MemoryArchive, WriteArchive("media.qzx", BuildArchive(HeroEntries(), true)));
  std::string out;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, "data/Sprites/Hero.PNG", out, true));
  ASSERT_TRUE(IsMemoryFileName(out.c_str()));
  EXPECT_EQ(out.size(), kMemoryNameLength);
  EXPECT_EQ(ReadMemoryName(out), "the hero");
  MemoryBlock held = OpenMemoryFileName(out.c_str());

  std::string second;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, "tune.ogg", second, true));
  EXPECT_EQ(ReadMemoryName(out), "<unopenable>") << "the first result is released";
  EXPECT_EQ(AsString(*held), "the hero") << "an open reader keeps its bytes";
  EXPECT_EQ(ReadMemoryName(second), std::string(5000, 'm'));
}

TEST_F(PackArchiveTest, FileModeWritesATemporaryFileAndDeletesItOnTheNextLookup) {
  PackArchiveSetName(FileArchive, WriteArchive("media.qzx", BuildArchive(HeroEntries(), true)));
  std::string out;
  ASSERT_TRUE(ResolveFileName(FileArchive, "music\\TUNE.OGG", out, false));
  EXPECT_EQ(out.rfind(platform::TempFolder() + "qzx", 0), 0u) << out;
  EXPECT_EQ(out.substr(out.size() - 8), "tune.ogg") << "the entry's own name";
  EXPECT_EQ(TempDir::ReadBytes(out), std::string(5000, 'm'));
  EXPECT_EQ(fs::status(out).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(FileArchive.tempFileName, out);

  std::string second;
  ASSERT_TRUE(ResolveFileName(FileArchive, "hero.png", second, false));
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(TempDir::ReadBytes(second), "the hero");
  ReleasePackArchives();
  EXPECT_FALSE(fs::exists(second));
  EXPECT_TRUE(FileArchive.tempFileName.empty());
}

TEST_F(PackArchiveTest, ALongDirectoryOnDiskIsWalkedToItsEnd) {
  // Entries of every size around the reader's 4 KiB window, incompressible ones among them.
  std::vector<Entry> entries;
  std::mt19937 rng(5);
  for (int i = 0; i < 700; ++i) {
    Bytes content(size_t(i * 13 % 9000));
    for (auto& c : content) c = uint8_t(i % 3 ? rng() : 'r');
    entries.push_back({"entry-with-a-long-name-" + std::to_string(i) + ".bin", content});
  }
  for (bool fromEnd : {false, true}) {
    PackArchiveSetName(MemoryArchive, WriteArchive("long.qzx", BuildArchive(entries, fromEnd)));
    for (int i : {0, 1, 2, 315, 316, 698, 699}) {
      std::string out;
      ASSERT_TRUE(ResolveFileName(MemoryArchive, entries[size_t(i)].name.c_str(), out, true)) << i;
      EXPECT_TRUE(*OpenMemoryFileName(out.c_str()) == entries[size_t(i)].content) << i;
    }
  }
}

TEST_F(PackArchiveTest, AFileOnDiskWinsAndAFolderDoesNotCount) {
  PackArchiveSetName(MemoryArchive, WriteArchive("media.qzx", BuildArchive(HeroEntries(), false)));
  fs::create_directory(dir.Child("sub"));
  TempDir::WriteBytes(dir.Child("sub/hero.png"), "on disk");
  std::string asGiven = dir.Child("sub") + "\\hero.png";
  std::string out;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, asGiven.c_str(), out, true));
  EXPECT_EQ(out, asGiven) << "the name as given, separators and all";

  fs::create_directory(dir.Child("sub/tune.ogg"));
  ASSERT_TRUE(ResolveFileName(MemoryArchive, dir.Child("sub/tune.ogg").c_str(), out, true));
  EXPECT_TRUE(IsMemoryFileName(out.c_str()));
}

TEST_F(PackArchiveTest, WhatIsLeftInOutWhenNothingIsFound) {
  PackArchiveSetName(MemoryArchive, WriteArchive("media.qzx", BuildArchive(HeroEntries(), false)));
  for (const char* name : {"missing.png", "ro.png", "", (const char*)nullptr}) {
    std::string out = "stale";
    EXPECT_FALSE(ResolveFileName(MemoryArchive, name, out, true)) << (name ? name : "null");
    EXPECT_EQ(out, "");
    EXPECT_TRUE(MemoryArchive.valid);
  }
  std::string out;
  EXPECT_FALSE(ResolveFileName(MemoryArchive, std::string(1024, 'a').c_str(), out, true));
}

TEST_F(PackArchiveTest, AnArchiveThatCannotServeIsNotConsultedAgainUntilSetAgain) {
  Bytes program(3000, 0x90);
  std::string path = WriteArchive("program", program);
  struct Case {
    const char* what;
    std::string archiveName;
  } cases[] = {{"no trailer", path},
               {"empty name", ""},
               {"missing file", dir.Child("nothing-here")},
               {"a folder", dir.path.string()},
               {"stale memory name", FormatMemoryFileName(10, 0xFFFFFFF0)}};
  for (const Case& c : cases) {
    PackArchiveSetName(MemoryArchive, c.archiveName);
    std::string out;
    EXPECT_FALSE(ResolveFileName(MemoryArchive, "hero.png", out, true)) << c.what;
    EXPECT_EQ(out, "hero.png") << c.what << ": the name as given";
    EXPECT_FALSE(MemoryArchive.valid) << c.what;
  }

  // The program file gains a valid archive; until it is set again the object does not look.
  PackArchiveSetName(MemoryArchive, path);
  std::string out;
  EXPECT_FALSE(ResolveFileName(MemoryArchive, "hero.png", out, true));
  TempDir::WriteBytes(path, AsString(BuildArchive(HeroEntries(), false, program)));
  EXPECT_FALSE(ResolveFileName(MemoryArchive, "hero.png", out, true));
  Str name, none;
  StrFromCString(name, path.c_str());
  StrInitEmpty(none);
  SetArchiveFiles(name, none);
  EXPECT_TRUE(ResolveFileName(MemoryArchive, "hero.png", out, true));
  EXPECT_EQ(ReadMemoryName(out), "the hero");
  StrRelease(name);
}

TEST_F(PackArchiveTest, AProgramServesMediaAppendedToItself) {
  const std::string exe = platform::ExecutablePath();
  ASSERT_FALSE(exe.empty());
  std::string out;
  std::string program = TempDir::ReadBytes(exe);
  for (bool fromEnd : {false, true}) {
    Bytes image = BuildArchive(HeroEntries(), fromEnd, Bytes(program.begin(), program.end()));
    PackArchiveSetName(FileArchive, WriteArchive("program-with-media", image));
    ASSERT_TRUE(ResolveFileName(FileArchive, "Hero.png", out, false));
    EXPECT_EQ(TempDir::ReadBytes(out), "the hero");
  }
}

TEST_F(PackArchiveTest, AnArchiveInAMemoryBlock) {
  Bytes image = BuildArchive(HeroEntries(), true);
  uint32_t token = RegisterMemoryBlock(image);
  PackArchiveSetName(MemoryArchive, FormatMemoryFileName(uint32_t(image.size()), token));
  std::string out;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, "hero.png", out, true));
  EXPECT_EQ(ReadMemoryName(out), "the hero");
  ReleaseMemoryBlock(token);
  EXPECT_FALSE(ResolveFileName(MemoryArchive, "hero.png", out, true))
      << "the archive block is gone";
  EXPECT_FALSE(MemoryArchive.valid);
}

TEST_F(PackArchiveTest, ADamagedEntryIsNotFoundRatherThanAnEmptyFile) {
  Bytes image = BuildArchive({{"hero.png", Text("the hero, the hero")}, {"blank.txt", {}}}, false);
  image[4] = 0x40;  // a match before any output, where the first stream begins
  PackArchiveSetName(MemoryArchive, WriteArchive("damaged.qzx", image));
  PackArchiveSetName(FileArchive, MemoryArchive.archiveName);
  for (PackArchive* archive : {&MemoryArchive, &FileArchive}) {
    std::string out = "stale";
    EXPECT_FALSE(ResolveFileName(*archive, "hero.png", out, archive == &MemoryArchive));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(archive->valid);
    EXPECT_EQ(archive->memoryBlock, 0u);
    EXPECT_TRUE(archive->tempFileName.empty());
  }
  std::string out;
  ASSERT_TRUE(ResolveFileName(FileArchive, "blank.txt", out, false)) << "a sound empty entry";
  EXPECT_TRUE(fs::exists(out));
  EXPECT_EQ(fs::file_size(out), 0u);
}

TEST_F(PackArchiveTest, ATemporaryFileThatCannotBeWrittenIsNotHandedOut) {
  PackArchiveSetName(FileArchive, WriteArchive("media.qzx", BuildArchive(HeroEntries(), false)));
  setenv("TMPDIR", dir.Child("no-such-folder").c_str(), 1);
  std::string out;
  EXPECT_FALSE(ResolveFileName(FileArchive, "hero.png", out, false));
  EXPECT_TRUE(FileArchive.tempFileName.empty());
}

TEST_F(PackArchiveTest, SetArchiveFilesReleasesBothEarlierResults) {
  std::string path = WriteArchive("media.qzx", BuildArchive(HeroEntries(), false));
  PackArchiveSetName(MemoryArchive, path);
  PackArchiveSetName(FileArchive, path);
  std::string memoryOut, fileOut;
  ASSERT_TRUE(ResolveFileName(MemoryArchive, "hero.png", memoryOut, true));
  ASSERT_TRUE(ResolveFileName(FileArchive, "hero.png", fileOut, false));
  Str name;
  StrFromCString(name, path.c_str());
  SetArchiveFiles(name, name);
  StrRelease(name);
  EXPECT_EQ(ReadMemoryName(memoryOut), "<unopenable>");
  EXPECT_FALSE(fs::exists(fileOut));
  EXPECT_TRUE(MemoryArchive.valid && FileArchive.valid);
}

}  // namespace
