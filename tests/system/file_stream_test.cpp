// Read streams over disk files and memory blocks: the same bytes read the same way from both,
// apart from the cut-short memory read the loaders rely on.
#include "system/file_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/memory_file.h"
#include "tests/support/temp_dir.h"

namespace {

// The same bytes as a disk file and as a memory block, opened by name.
struct BothSources {
  TempDir tmp;
  std::string diskName;
  MemoryFile memory;

  explicit BothSources(const std::string& bytes) : diskName(tmp.Child("data.bin")), memory(bytes) {
    TempDir::WriteBytes(diskName, bytes);
  }
  std::vector<std::string> Names() const { return {diskName, memory.name}; }
};

std::vector<std::string> ReadLines(FileStream& stream, int32_t n) {
  std::vector<std::string> lines;
  std::vector<char> buffer(size_t(n) + 1);
  while (FileStreamReadLine(stream, buffer.data(), n)) lines.emplace_back(buffer.data());
  return lines;
}

TEST(FileStreamReadLine, GivesTheSameLinesFromDiskAndMemory) {
  struct Case {
    std::string bytes;
    int32_t n;
    std::vector<std::string> lines;
  };
  const std::string sixtyFour(64, 'x');
  const Case cases[] = {
      {"a\r\n\nb", 1024, {"a", "", "b"}},
      {"one\ntwo\n", 1024, {"one", "two"}},
      {"abcdef\n", 4, {"abcd", "ef"}},
      // A last line that fills whole reading pieces still ends at the end of the file.
      {sixtyFour, 1024, {sixtyFour}},
      {"z\n" + sixtyFour + sixtyFour, 1024, {"z", sixtyFour + sixtyFour}},
      {"c\r", 1024, {"c\r"}},
  };
  for (const Case& c : cases) {
    BothSources sources(c.bytes);
    for (const std::string& name : sources.Names()) {
      SCOPED_TRACE(name + " holding " + c.bytes);
      FileStream stream;
      ASSERT_TRUE(FileStreamOpen(stream, name.c_str()));
      const bool disk = name == sources.diskName;
      std::vector<std::string> expected = c.lines;
      // A disk line without '\n' reads up to a stop mark that stands in for one, '\r' and all.
      if (c.bytes == "c\r" && disk) expected = {"c"};
      EXPECT_EQ(ReadLines(stream, c.n), expected);
      // A last line without '\n' leaves a disk stream one past its end, a memory stream at it.
      if (c.bytes.back() != '\n') {
        EXPECT_EQ(stream.position, int64_t(c.bytes.size()) + (disk ? 1 : 0));
      }
    }
    EXPECT_EQ(sources.memory.Bytes(), c.bytes);
  }
}

TEST(FileStreamRead, RunningOutIsTrueInMemoryAndFalseOnDisk) {
  BothSources sources("0123456789ABCD");
  for (const std::string& name : sources.Names()) {
    const bool memory = name != sources.diskName;
    FileStream stream;
    ASSERT_TRUE(FileStreamOpen(stream, name.c_str()));
    char skip[10];
    ASSERT_TRUE(FileStreamRead(stream, skip, 10));

    char tail[10] = {};
    EXPECT_EQ(FileStreamRead(stream, tail, 10), memory);
    EXPECT_EQ(std::string(tail, 4), "ABCD");
    EXPECT_EQ(stream.position, memory ? 14 : 20);
    EXPECT_FALSE(FileStreamRead(stream, tail, -1));
    if (memory) {
      EXPECT_TRUE(FileStreamRead(stream, nullptr, 0));  // an empty chunk reads nothing
    }
  }
}

TEST(FileStreamReadExact, NeedsEveryByteFromMemoryToo) {
  BothSources sources("abcdef");
  for (const std::string& name : sources.Names()) {
    FileStream stream;
    ASSERT_TRUE(FileStreamOpen(stream, name.c_str()));
    char bytes[8] = {};
    EXPECT_TRUE(FileStreamReadExact(stream, bytes, 4));
    EXPECT_FALSE(FileStreamReadExact(stream, bytes, 4));
    EXPECT_STREQ(bytes, name == sources.diskName ? "efcd" : "abcd");
  }
}

TEST(FileStreamOpen, WhatCannotBeOpenedLeavesAClosedRecord) {
  TempDir tmp;
  MemoryFile released("gone");
  const std::string staleName = released.name;
  ReleaseMemoryBlock(released.token);
  const std::string forged = FormatMemoryFileName(4, released.token + 1000);
  const std::string names[] = {"",     tmp.Child("missing"),  tmp.path.string(), staleName,
                               forged, std::string(1024, 'n')};
  BothSources open("held");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    FileStream stream;
    ASSERT_TRUE(FileStreamOpen(stream, open.diskName.c_str()));
    EXPECT_FALSE(FileStreamOpen(stream, name.c_str()));
    EXPECT_EQ(stream.descriptor, -1);
    EXPECT_EQ(stream.memory, nullptr);
    EXPECT_EQ(stream.size, 0);
    EXPECT_EQ(stream.position, 0);
    char bytes[2];
    EXPECT_FALSE(FileStreamRead(stream, bytes, 1));
    EXPECT_FALSE(FileStreamReadLine(stream, bytes, 1));
  }
}

TEST(FileStreamOpen, AnOpenStreamKeepsItsBlockAfterTheRegistryDropsIt) {
  MemoryFile file("kept\n");
  FileStream stream;
  ASSERT_TRUE(FileStreamOpen(stream, file.name.c_str()));
  ReleaseMemoryBlock(file.token);
  char line[8];
  ASSERT_TRUE(FileStreamReadLine(stream, line, 7));
  EXPECT_STREQ(line, "kept");
}

}  // namespace
