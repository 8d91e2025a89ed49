// Memory names: their exact form, and the registry refusing forged, stale and mismatched names.
#include "system/memory_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MemoryFileName, KeepsTheBlankPaddedFixedFieldForm) {
  EXPECT_EQ(FormatMemoryFileName(0x1a2b, 0x3a0010), "mem://    1a2b.  3a0010");
  EXPECT_EQ(FormatMemoryFileName(0, 1), "mem://       0.       1");
  EXPECT_EQ(FormatMemoryFileName(0xffffffff, 0xabcdef12).size(), kMemoryNameLength);
}

TEST(MemoryBlocks, OpensOnlyLiveTokensWithTheirSize) {
  uint32_t token = RegisterMemoryBlock({1, 2, 3});
  ASSERT_NE(token, 0u);
  std::string name = FormatMemoryFileName(3, token);
  MemoryBlock block = OpenMemoryFileName(name.c_str());
  ASSERT_TRUE(block);
  EXPECT_EQ(*block, (std::vector<uint8_t>{1, 2, 3}));

  struct Case {
    const char* what;
    std::string name;
  } refused[] = {
      {"wrong size", FormatMemoryFileName(4, token)},
      {"unknown token", FormatMemoryFileName(3, token + 1000)},
      {"token 0", FormatMemoryFileName(3, 0)},
      {"cut before the token", name.substr(0, 14)},
      {"prefix only", "mem://"},
      {"token wider than 32 bits", "mem://       3.1" + std::string(8, '0') + "1"},
      {"not a memory name", "    3." + name.substr(15)},
  };
  for (const Case& c : refused) EXPECT_FALSE(OpenMemoryFileName(c.name.c_str())) << c.what;
}

TEST(MemoryBlocks, AReleasedBlockStaysReadableThroughAnOpenReference) {
  uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(10, 7));
  std::string name = FormatMemoryFileName(10, token);
  MemoryBlock held = OpenMemoryFileName(name.c_str());
  size_t live = LiveMemoryBlockCount();
  ReleaseMemoryBlock(token);
  EXPECT_EQ(LiveMemoryBlockCount(), live - 1);
  EXPECT_FALSE(OpenMemoryFileName(name.c_str())) << "stale name";
  ASSERT_TRUE(held);
  EXPECT_EQ(held->at(9), 7);
  ReleaseMemoryBlock(token);  // a second release is harmless
}

TEST(MemoryBlocks, TokensAreNotReusedWhileLive) {
  uint32_t a = RegisterMemoryBlock({});
  uint32_t b = RegisterMemoryBlock({});
  EXPECT_NE(a, b);
  ReleaseMemoryBlock(a);
  uint32_t c = RegisterMemoryBlock({});
  EXPECT_NE(c, b);
  EXPECT_TRUE(OpenMemoryFileName(FormatMemoryFileName(0, b).c_str()));
  ReleaseMemoryBlock(b);
  ReleaseMemoryBlock(c);
}

}  // namespace
