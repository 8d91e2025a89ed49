// The string record: growth, ownership, aliasing and substrings.
#include "core/str.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "tests/support/owned_str.h"

namespace {

bool AllZero(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i]) return false;
  return true;
}

class StrTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(AllZero(StrEmptyBuffer, sizeof StrEmptyBuffer)); }
};

TEST_F(StrTest, ReserveFollowsTheSixteenByteRule) {
  struct Case {
    uint32_t n;
    uint32_t capacity;
  } cases[] = {{1, 16}, {14, 16}, {15, 32}, {31, 48}, {63, 80}, {1000, 1008}};
  for (const Case& c : cases) {
    OwnedStr o;
    StrReserve(o.s, c.n, false);
    EXPECT_EQ(o.s.capacity, c.capacity) << "n=" << c.n;
    EXPECT_EQ(o.s.data[0], 0);
  }
  OwnedStr none;
  StrReserve(none.s, 0, true);
  EXPECT_EQ(none.s.data, StrEmptyBuffer);
  EXPECT_EQ(none.s.capacity, 0u);
}

TEST_F(StrTest, ReserveKeepsTextAndNeverShrinks) {
  OwnedStr o;
  StrFromCString(o.s, "hello");
  StrReserve(o.s, 40, true);
  EXPECT_EQ(o.s.capacity, 48u);
  EXPECT_EQ(o.text(), "hello");
  char* block = o.s.data;
  StrReserve(o.s, 3, true);
  EXPECT_EQ(o.s.data, block);
  EXPECT_EQ(o.s.capacity, 48u);
  StrReserve(o.s, 100, false);
  EXPECT_EQ(o.s.data[0], 0);
  EXPECT_EQ(o.s.length, 5u);  // reserve without keep leaves the length to the caller
}

TEST_F(StrTest, ConstructorsGiveTheirCapacities) {
  OwnedStr from_text, assigned, from_int, from_int64, hex, empty_text, copy_of_empty;
  StrFromCString(from_text.s, "hello");
  EXPECT_EQ(from_text.s.capacity, 16u);
  StrAssignCString(assigned.s, "hello");
  EXPECT_EQ(assigned.s.capacity, 6u);
  StrFromInt(from_int.s, INT_MIN);
  EXPECT_EQ(from_int.text(), "-2147483648");
  EXPECT_EQ(from_int.s.capacity, 32u);
  StrFromInt64(from_int64.s, INT64_MIN);
  EXPECT_EQ(from_int64.text(), "-9223372036854775808");
  EXPECT_EQ(from_int64.s.capacity, 80u);
  StrHexFromUInt(hex.s, 0xFFFFFFFFu);
  EXPECT_EQ(hex.text(), "ffffffff");
  StrFromCString(empty_text.s, "");
  EXPECT_EQ(empty_text.s.data, StrEmptyBuffer);
  StrCopyConstruct(copy_of_empty.s, empty_text.s);
  EXPECT_EQ(copy_of_empty.s.data, StrEmptyBuffer);
  EXPECT_EQ(copy_of_empty.s.capacity, 0u);
}

TEST_F(StrTest, AssignmentsSurviveAliasing) {
  OwnedStr o;
  StrFromCString(o.s, "hello world");
  StrAssignCString(o.s, o.s.data + 6);
  EXPECT_EQ(o.text(), "world");
  EXPECT_EQ(o.s.capacity, 6u);

  StrAssign(o.s, o.s);
  EXPECT_EQ(o.text(), "world");

  StrAppendCString(o.s, o.s.data);  // the reserve moves the block under the source
  EXPECT_EQ(o.text(), "worldworld");

  OwnedStr swapped;
  StrFromCString(swapped.s, "abcdef");
  StrAssignCStringSwap(swapped.s, swapped.s.data + 2);
  EXPECT_EQ(swapped.text(), "cdef");
}

TEST_F(StrTest, AssigningEmptyKeepsTheBlock) {
  OwnedStr dst, empty;
  StrFromCString(dst.s, "keep");
  char* block = dst.s.data;
  StrAssign(dst.s, empty.s);
  EXPECT_EQ(dst.s.data, block);
  EXPECT_EQ(dst.s.length, 0u);
  EXPECT_EQ(dst.s.data[0], 0);
  StrAssignCString(dst.s, "");
  EXPECT_EQ(dst.s.data, StrEmptyBuffer);
}

TEST_F(StrTest, DirectWritingRecountsWithinTheBlock) {
  OwnedStr o;
  char* p = StrGetBuffer(o.s, 4);
  std::memcpy(p, "abc", 4);
  StrSyncLength(o.s);
  EXPECT_EQ(o.text(), "abc");
  std::memset(o.s.data, 'z', o.s.capacity);  // no terminator at all
  StrSyncLength(o.s);
  EXPECT_EQ(o.s.length, o.s.capacity - 1);
  EXPECT_EQ(o.s.data[o.s.length], 0);

  OwnedStr empty;
  StrGetBuffer(empty.s, 0);
  StrSyncLength(empty.s);
  EXPECT_EQ(empty.s.length, 0u);
}

TEST_F(StrTest, MidTakesClampedRanges) {
  OwnedStr hello;
  StrFromCString(hello.s, "hello");
  struct Case {
    int start, count;
    const char* want;
  } cases[] = {{1, 3, "ell"}, {3, -1, "lo"}, {5, 1, ""}, {-1, 2, ""},
               {2, 10, "llo"}, {0, 0, ""},   {4, INT_MAX, "o"}};
  for (const Case& c : cases) {
    OwnedStr r;
    StrMid(r.s, hello.s, c.start, c.count);
    EXPECT_EQ(r.text(), c.want) << c.start << "," << c.count;
  }
}

TEST_F(StrTest, TruncateAndTrimWorkInPlace) {
  OwnedStr o;
  StrFromCString(o.s, "ab\r\n\t");
  StrTrimControlRight(o.s);
  EXPECT_EQ(o.text(), "ab");
  StrTruncate(o.s, -1);
  StrTruncate(o.s, 2);
  EXPECT_EQ(o.text(), "ab");
  StrTruncate(o.s, 1);
  EXPECT_EQ(o.text(), "a");

  OwnedStr crlf;
  StrFromCString(crlf.s, "\r\n");
  StrTrimControlRight(crlf.s);
  EXPECT_EQ(crlf.s.length, 0u);
  EXPECT_NE(crlf.s.data, StrEmptyBuffer);

  OwnedStr high;
  StrFromCString(high.s, "x\xff");
  StrTrimControlRight(high.s);
  EXPECT_EQ(high.s.length, 2u);
}

TEST_F(StrTest, LengthAndEquality) {
  OwnedStr a, b;
  StrFromCString(a.s, "abc");
  StrFromCString(b.s, "abc");
  a.s.data[1] = 0;
  EXPECT_EQ(StrLength(a.s), 1);
  EXPECT_EQ(a.s.length, 3u);
  EXPECT_FALSE(StrEquals(a.s, b.s));
  OwnedStr e1;
  EXPECT_TRUE(StrEqualsCString(e1.s, nullptr));
}

TEST(StrDeathTest, HugeReserveEndsAsOutOfMemory) {
  EXPECT_EXIT(
      {
        Str s;
        StrInitEmpty(s);
        StrReserve(s, 0x7FFFFFF0u, false);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
