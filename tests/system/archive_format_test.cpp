// The archive format over bytes: lookups with both offset signs, the fixed layouts, damaged
// archives and the temporary-file name.
#include "system/archive_format.h"

#include <gtest/gtest.h>

#include "tests/support/pack_archive_builder.h"

namespace {

using namespace archive_builder;

struct Lookup {
  ArchiveSearch search;
  std::string name;
  Bytes content;
};

Lookup Find(const Bytes& image, std::string_view requested) {
  ByteArchiveReader reader(image);
  ArchiveEntry entry;
  Lookup result{FindArchiveEntry(reader, ArchiveBaseName(requested), entry), "", {}};
  if (result.search != ArchiveSearch::Found) return result;
  result.name = entry.name;
  if (!UnpackArchiveEntry(reader, entry, result.content)) result.search = ArchiveSearch::NotFound;
  return result;
}

TEST(ArchiveFormat, FindsEntriesWithoutRegardToCaseForBothOffsetSigns) {
  std::vector<Entry> entries = {{"ero.png", Text("short")},
                                {"xhero.png", Text("longer")},
                                {"hero.png", Text("the hero")},
                                {"HERO.PNG", Text("second of the same name")},
                                {"empty.txt", {}}};
  for (bool fromEnd : {false, true}) {
    for (const Bytes& prefix : {Bytes{}, Bytes(5000, 0x7F)}) {
      Bytes image = BuildArchive(entries, fromEnd, prefix);
      SCOPED_TRACE(testing::Message() << "fromEnd=" << fromEnd << " prefix=" << prefix.size());
      Lookup hero = Find(image, "data/Sprites/Hero.PNG");
      ASSERT_EQ(hero.search, ArchiveSearch::Found);
      EXPECT_EQ(hero.name, "hero.png");
      EXPECT_EQ(hero.content, Text("the hero"));
      EXPECT_EQ(Find(image, "ERO.png").content, Text("short"));
      Lookup empty = Find(image, "x\\Empty.TXT");
      EXPECT_EQ(empty.search, ArchiveSearch::Found);
      EXPECT_TRUE(empty.content.empty());
      EXPECT_EQ(Find(image, "missing.png").search, ArchiveSearch::NotFound);
      EXPECT_EQ(Find(image, "ro.png").search, ArchiveSearch::NotFound);
    }
  }
}

TEST(ArchiveFormat, TheTrailerSignDecidesForEveryOffset) {
  Bytes block = PackedBlock(Text("payload"));
  Bytes fromEnd(3000, 0);
  // Directory 100 bytes before the end, data 900 before the end.
  Put(fromEnd, 3000 - 900, block);
  Put(fromEnd, 3000 - 100, DirectoryEntry("a.bin", -900, int32_t(block.size())));
  Put(fromEnd, 3000 - 7, Trailer(-100));
  // Directory at 2000, data at 40; the entry's own sign is never consulted.
  Bytes fromStart(2100, 0);
  Put(fromStart, 40, block);
  Put(fromStart, 2000, DirectoryEntry("a.bin", 40, int32_t(block.size())));
  Put(fromStart, 2100 - 7, Trailer(2000));
  for (const Bytes& image : {fromEnd, fromStart})
    EXPECT_EQ(Find(image, "A.BIN").content, Text("payload"));

  // A negative entry offset under a positive trailer offset lies before the start: not found.
  Bytes mixed = fromStart;
  Put(mixed, 2000, DirectoryEntry("a.bin", -2060, int32_t(block.size())));
  EXPECT_EQ(Find(mixed, "a.bin").search, ArchiveSearch::NotFound);
}

TEST(ArchiveFormat, OnlyAWrongMagicMeansNotAnArchive) {
  Bytes program(4000, 0x90);
  EXPECT_EQ(Find(program, "x.png").search, ArchiveSearch::NotAnArchive);
  EXPECT_EQ(Find(Bytes{'q', 'z', 'X'}, "x.png").search, ArchiveSearch::NotFound);
  EXPECT_EQ(Find(Bytes{}, "x.png").search, ArchiveSearch::NotFound);
}

TEST(ArchiveFormat, DamagedArchivesAnswerNotFound) {
  Bytes block = PackedBlock(Text("payload"));
  int32_t length = int32_t(block.size());
  auto archive = [&](const Bytes& directory, int32_t directoryOffset = 0, const Bytes& data = {}) {
    Bytes image = data.empty() ? block : data;
    size_t at = image.size();
    Put(image, at, directory);
    Put(image, image.size(), Trailer(directoryOffset ? directoryOffset : int32_t(at)));
    return image;
  };
  Bytes end{0};
  auto withEnd = [&](Bytes e) {
    e.insert(e.end(), end.begin(), end.end());
    return e;
  };
  Bytes hugeAnnounced = block;
  hugeAnnounced[0] = hugeAnnounced[1] = hugeAnnounced[2] = hugeAnnounced[3] = 0xFF;
  Bytes corruptStream = block;
  corruptStream[4] = 0x40;  // a match before any output
  Bytes trailingJunk = block;
  trailingJunk.push_back(0x55);

  struct Case {
    const char* what;
    Bytes image;
  } cases[] = {
      {"directory offset past the end", archive(withEnd(DirectoryEntry("a", 0, length)), 1 << 30)},
      {"directory offset before the start",
       archive(withEnd(DirectoryEntry("a", 0, length)), -(1 << 30))},
      {"no end entry", archive(DirectoryEntry("b", 0, length))},
      {"name runs into the trailer", archive(Bytes{200, 'a'})},
      {"data past the end", archive(withEnd(DirectoryEntry("a", 1 << 20, length)))},
      {"data running past the end", archive(withEnd(DirectoryEntry("a", 0, length + 1000)))},
      {"negative packed length", archive(withEnd(DirectoryEntry("a", 0, -5)))},
      {"packed length under 4", archive(withEnd(DirectoryEntry("a", 0, 3)))},
      {"most negative packed length", archive(withEnd(DirectoryEntry("a", 0, INT32_MIN)))},
      {"announced length 0xFFFFFFFF",
       archive(withEnd(DirectoryEntry("a", 0, length)), 0, hugeAnnounced)},
      {"corrupt stream", archive(withEnd(DirectoryEntry("a", 0, length)), 0, corruptStream)},
      {"bytes after the stream",
       archive(withEnd(DirectoryEntry("a", 0, length + 1)), 0, trailingJunk)},
  };
  for (const Case& c : cases) {
    Lookup found = Find(c.image, "a");
    EXPECT_EQ(found.search, ArchiveSearch::NotFound) << c.what;
    EXPECT_TRUE(found.content.empty()) << c.what;
  }
}

TEST(ArchiveFormat, TempFileNameTakesLettersFromTheStoredLowBytes) {
  struct Case {
    int32_t offset, length;
    const char* expected;
  } cases[] = {
      {27, 300, "/t/qzxBShero.png"},  // 27 % 26 = 1; 300 & 255 = 44, 44 % 26 = 18
      {0, 25, "/t/qzxAZhero.png"},
      {-900, 256, "/t/qzxUAhero.png"},  // -900 ends in the byte 0x7C = 124, 124 % 26 = 20
  };
  for (const Case& c : cases)
    EXPECT_EQ(ArchiveTempFileName("/t/", {"hero.png", c.offset, c.length, 0}), c.expected);
}

}  // namespace
