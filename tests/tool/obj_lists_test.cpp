// The compact OBJ number lists give back every value pushed, bit for bit, across code widths.
#include "tool/obj_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/support/address_space.h"

namespace {

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ObjNumberList, EveryValueComesBackAcrossEachWidening) {
  struct Case {
    int32_t distinct;
    const char* what;
  };
  for (const Case& c : {Case{256, "one byte"}, Case{257, "two bytes"}, Case{65537, "four bytes"}}) {
    ObjNumberList list;
    // -0 and 0 differ in their bits; texture values are thirds and the like.
    const auto value = [](int32_t i) { return i == 1 ? -0.0 : (i - 1) / 3.0; };
    for (int32_t i = 0; i < c.distinct; ++i) {
      list.Push(value(i));
      list.Push(value(0));
    }
    ASSERT_EQ(list.Count(), 2 * c.distinct) << c.what;
    EXPECT_EQ(list.Distinct(), c.distinct) << c.what;
    for (int32_t i = 0; i < c.distinct; ++i) {
      ASSERT_TRUE(SameBits(list.At(2 * i), value(i))) << c.what << " " << i;
      ASSERT_TRUE(SameBits(list.At(2 * i + 1), value(0))) << c.what << " " << i;
    }
    list.Release();
    EXPECT_EQ(list.Count(), 0);
    list.Push(7);
    EXPECT_EQ(list.At(0), 7);
  }
}

// The map from values to codes is the list's largest part; when it cannot grow the program ends
// as out of memory (status 1), never by an exception.
TEST(ObjNumberListDeathTest, AMapThatCannotGrowEndsTheProgramAsOutOfMemory) {
  QRN_SKIP_UNDER_ASAN();
  EXPECT_EXIT(
      {
        ObjNumberList list;
        CapAddressSpace();
        for (double v = 0;; ++v) list.Push(v);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
