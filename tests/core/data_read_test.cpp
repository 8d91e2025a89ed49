// READ conversions, RESTORE and the end of the data.
#include "core/data_read.h"

#include <gtest/gtest.h>

#include <string>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "tests/support/program_end.h"

namespace {

class DataRead : public testing::Test {
 protected:
  void SetUp() override { ResetCoreStateForTests(); }
  void TearDown() override { ResetCoreStateForTests(); }
};

const DataItem kItems[] = {{2.9, nullptr}, {-2.9, nullptr}, {0, "12abc"}, {5, nullptr},
                           {0, " -7.25e1x"}, {1e20, nullptr}, {0, "0x1A"}, {0.5, nullptr}};

TEST_F(DataRead, EachTargetKindConvertsBothItemKinds) {
  DataBlock block{kItems, 8, 5};
  EXPECT_EQ(RestoreData(&block), &block);
  EXPECT_EQ(block.index, 0);
  int32_t i = 0;
  ReadDataInt(&i);
  EXPECT_EQ(i, 2);
  ReadDataInt(&i);
  EXPECT_EQ(i, -2);
  ReadDataInt(&i);
  EXPECT_EQ(i, 12);
  Str s;
  StrFromCString(s, "old text");
  ReadDataString(&s);
  EXPECT_STREQ(s.data, "5");
  double x = 0;
  ReadDataNumber(&x);
  EXPECT_EQ(x, -72.5);
  ReadDataInt(&i);
  EXPECT_EQ(i, INT32_MIN);  // out of range: the x86 indefinite value, without undefined behaviour
  ReadDataNumber(&x);
  EXPECT_EQ(x, 0);
  ReadDataString(&s);
  EXPECT_STREQ(s.data, "0.5");
  EXPECT_EQ(block.index, 8);

  block.index = 3;
  RestoreData(&block);  // RESTORE in mid-list starts again
  ReadDataNumber(&x);
  EXPECT_EQ(x, 2.9);
  StrRelease(s);
}

TEST_F(DataRead, ReadingPastTheEndIsError20AndLeavesTheTarget) {
  int32_t target = 99;
  EXPECT_EQ(EndStatusOf([&] { ReadDataInt(&target); }), 1);  // no RESTORE yet
  EXPECT_EQ(LastErrorCode, 20);

  DataBlock block{kItems, 2, 0};
  RestoreData(&block);
  ReadDataInt(&target);
  ReadDataInt(&target);
  LastErrorCode = 0;
  EXPECT_EQ(EndStatusOf([&] { ReadDataInt(&target); }), 1);
  EXPECT_EQ(LastErrorCode, 20);
  EXPECT_EQ(target, -2);
  EXPECT_EQ(block.index, 2);
}

}  // namespace
