// Arrays: capacities, shapes, REDIM, DIMPUSH, checked access and the bounds reports.
#include "core/dim_array.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "tests/support/debug_capture.h"
#include "tests/support/program_end.h"

namespace {

class Arrays : public testing::Test {
 protected:
  // The reports also go to standard error; the death test below checks that text.
  void SetUp() override {
    ResetCoreStateForTests();
    testing::internal::CaptureStderr();
  }
  void TearDown() override {
    testing::internal::GetCapturedStderr();
    ArrayRelease(ints);
    ArrayRelease(numbers);
    ArrayRelease(bytes);
    ArrayReleaseString(strings);
    ResetCoreStateForTests();
  }
  DimArray ints{}, numbers{}, bytes{}, strings{};
};

std::string Text(const Str* s) { return std::string(s->data, s->length); }

void SetText(Str* s, const char* text) { StrAssignCString(*s, text); }

using DimFunction = void (*)(DimArray&, int32_t, int32_t, int32_t, int32_t);

TEST_F(Arrays, DimGivesEachKindItsCapacityAndShape) {
  struct Case {
    DimFunction dim;
    int32_t d0, d1, d2, d3;
    int32_t capacity, stride1, stride2, stride3, count, dims;
  };
  const Case cases[] = {
      {ArrayDimInt, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0},
      {ArrayDimInt, 10, 0, 0, 0, 16, 10, 0, 0, 10, 1},
      {ArrayDimNumber, 17, 0, 0, 0, 24, 17, 0, 0, 17, 1},
      {ArrayDimNumber, 3, 4, 5, 0, 64, 3, 12, 60, 60, 3},
      {ArrayDimByte, 64, 0, 0, 0, 128, 64, 0, 0, 64, 1},
      {ArrayDimByte, 2, 2, 2, 2, 64, 2, 4, 8, 16, 4},
      {ArrayDimIntExact, 5, 3, 0, 0, 15, 5, 15, 0, 15, 2},
      {ArrayDimInt, 3, 0, 2, 0, 8, 3, 3, 6, 6, 3},
      {ArrayDimNumberExact, 255, 0, 0, 0, 255, 255, 0, 0, 255, 1},
      {ArrayDimIntExact, -4, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {ArrayDimNumber, 257, 257, 257, 0, 16974600, 257, 66049, 16974593, 16974593, 3},
  };
  for (const Case& c : cases) {
    DimArray a{};
    c.dim(a, c.d0, c.d1, c.d2, c.d3);
    SCOPED_TRACE(testing::Message() << c.d0 << "x" << c.d1 << "x" << c.d2 << "x" << c.d3);
    EXPECT_NE(a.data, nullptr);
    EXPECT_EQ(a.capacity, c.capacity);
    EXPECT_EQ(a.stride1, c.stride1);
    EXPECT_EQ(a.stride2, c.stride2);
    EXPECT_EQ(a.stride3, c.stride3);
    EXPECT_EQ(a.count, c.count);
    EXPECT_EQ(a.dims, c.dims);
    if (c.dim == ArrayDimNumber && c.count > 0) {
      const auto last = [](int32_t d) { return d > 0 ? d - 1 : 0; };
      EXPECT_EQ(*ArrayNumberAt(a, -1, last(c.d1), last(c.d2), last(c.d3)), 0.0);
    }
    ArrayRelease(a);
  }
}

// A size 0 between used sizes must not fold later indexes onto one cell, in DIM or in REDIM.
TEST_F(Arrays, AnUnusedMiddleSizeLeavesEveryIndexItsOwnCell) {
  const std::array<int32_t, 4> shapes[] = {{3, 0, 2, 0}, {2, 0, 0, 3}, {2, 3, 0, 2}, {2, 0, 2, 2}};
  for (const auto& d : shapes) {
    SCOPED_TRACE(testing::Message() << d[0] << "x" << d[1] << "x" << d[2] << "x" << d[3]);
    const auto everyIndex = [&](auto visit) {
      int32_t n = 0;
      for (int32_t i3 = 0; i3 < std::max(1, d[3]); ++i3)
        for (int32_t i2 = 0; i2 < std::max(1, d[2]); ++i2)
          for (int32_t i1 = 0; i1 < std::max(1, d[1]); ++i1)
            for (int32_t i0 = 0; i0 < d[0]; ++i0) visit(*ArrayElementAt(ints, i0, i1, i2, i3), ++n);
      return n;
    };
    ArrayDimInt(ints, d[0], d[1], d[2], d[3]);
    EXPECT_EQ(everyIndex([](int32_t& cell, int32_t n) { cell = n; }), ints.count);
    ArrayRedimInt(ints, d[0] + 1, d[1], d[2], d[3]);
    everyIndex([](int32_t& cell, int32_t n) { EXPECT_EQ(cell, n); });
  }
}

TEST_F(Arrays, DimKeepsALargeEnoughBlockAndZeroesTheUsedPart) {
  ArrayDimInt(ints, 10, 0, 0, 0);
  int32_t* block = static_cast<int32_t*>(ints.data);
  for (int i = 0; i < 16; ++i) block[i] = i + 1;
  ArrayDimInt(ints, 5, 0, 0, 0);
  EXPECT_EQ(ints.data, block);
  EXPECT_EQ(block[4], 0);
  EXPECT_EQ(block[5], 6);  // beyond the count: kept
  ArrayDimInt(ints, 16, 0, 0, 0);
  EXPECT_EQ(ints.data, block);
  ArrayDimInt(ints, 17, 0, 0, 0);
  EXPECT_EQ(ints.capacity, 24);
  ArrayDimInt(ints, 0, 0, 0, 0);
  EXPECT_EQ(ints.capacity, 8);
  EXPECT_EQ(ints.size0, 0);
}

// Random DIM, REDIM, PUSH and stores on a number and a string array against a map of indexes.
TEST_F(Arrays, RandomOperationsKeepEveryElementAtItsIndexes) {
  using Index = std::array<int32_t, 4>;
  std::map<Index, int> model;
  Index sizes{};
  std::mt19937 random(12345);
  const auto pick = [&](int n) { return int32_t(random() % uint32_t(n)); };
  for (int step = 0; step < 3000; ++step) {
    const int op = pick(10);
    if (op < 2) {  // DIM or REDIM to sizes without gaps: an unused dimension ends the list
      Index next{};
      for (int k = 0; k < 4 && (k == 0 || next[k - 1] > 0); ++k) next[k] = pick(k == 0 ? 6 : 4);
      if (op == 0) {
        ArrayDimNumber(numbers, next[0], next[1], next[2], next[3]);
        ArrayDimString(strings, next[0], next[1], next[2], next[3]);
        model.clear();
      } else {
        ArrayRedimNumber(numbers, next[0], next[1], next[2], next[3]);
        ArrayRedimString(strings, next[0], next[1], next[2], next[3]);
        std::erase_if(model, [&](const auto& entry) {
          for (int k = 0; k < 4; ++k) {
            if (entry.first[k] >= std::max(next[k], 1) || next[0] == 0) return true;
          }
          return false;
        });
      }
      sizes = next;
    } else if (op < 4 && sizes[1] == 0) {
      ArrayPushNumber(numbers, step);
      Str text;
      StrFromInt(text, step);
      ArrayPushString(strings, text);
      StrRelease(text);
      model[{sizes[0]++, 0, 0, 0}] = step;
    } else if (sizes[0] > 0) {
      Index at{};
      for (int k = 0; k < 4; ++k) at[k] = pick(std::max(sizes[k], 1));
      *ArrayNumberAt(numbers, at[0], at[1], at[2], at[3]) = step;
      SetText(ArrayStringAt(strings, at[0], at[1], at[2], at[3]), std::to_string(step).c_str());
      model[at] = step;
    }
    ASSERT_EQ(numbers.size0, sizes[0]);
    for (int32_t i = 0; i < numbers.count; ++i) {  // every element, in block order
      Index at{i % sizes[0], i / sizes[0], 0, 0};
      for (int k = 1; k < 3; ++k) {
        at[k + 1] = at[k] / std::max(sizes[k], 1);
        at[k] %= std::max(sizes[k], 1);
      }
      const auto found = model.find(at);
      const int value = found == model.end() ? 0 : found->second;
      ASSERT_EQ(*ArrayNumberAt(numbers, at[0], at[1], at[2], at[3]), value) << "step " << step;
      ASSERT_EQ(Text(ArrayStringAt(strings, at[0], at[1], at[2], at[3])),
                found == model.end() ? "" : std::to_string(value));
    }
  }
}

TEST_F(Arrays, AMillionPushesGrowGeometrically) {
  int changes = 0;
  int32_t last = numbers.capacity;
  for (int i = 0; i < 1000000; ++i) {
    ArrayPushNumber(numbers, i * 0.5);
    if (numbers.capacity != last) {
      ++changes;
      last = numbers.capacity;
    }
  }
  EXPECT_LE(changes, 20);
  EXPECT_EQ(numbers.size0, 1000000);
  EXPECT_EQ(numbers.count, 1000000);
  EXPECT_EQ(numbers.dims, 1);
  for (int i = 0; i < 1000000; i += 9973) EXPECT_EQ(*ArrayNumberAt(numbers, i), i * 0.5);
}

TEST_F(Arrays, PushingAnElementOfTheSameArraySurvivesTheMove) {
  Str first;
  StrFromCString(first, "a text long enough to own a block");
  ArrayPushString(strings, first);
  StrRelease(first);
  for (int i = 1; i < 200; ++i) ArrayPushString(strings, *ArrayStringAt(strings, i - 1));
  EXPECT_EQ(strings.size0, 200);
  EXPECT_EQ(Text(ArrayStringAt(strings, 199)), "a text long enough to own a block");
}

TEST_F(Arrays, PushOntoMoreThanOneDimensionIsError8) {
  for (const int32_t d : {1, 2, 3}) {
    int32_t sizes[4] = {3, 0, 0, 0};
    sizes[d] = 2;
    ArrayDimNumber(numbers, sizes[0], sizes[1], sizes[2], sizes[3]);
    LastErrorCode = 0;
    EXPECT_EQ(EndStatusOf([&] { ArrayPushNumber(numbers, 1); }), 1);
    EXPECT_EQ(LastErrorCode, 8);
    EXPECT_EQ(numbers.size0, 3);
  }
}

TEST_F(Arrays, SizesBeyondTheLimitAreError7) {
  struct Case {
    int32_t d0, d1, d2, d3;
  };
  const Case cases[] = {{65536, 65536, 0, 0}, {kArrayMaxCount, 2, 0, 0}, {3, -1, 0, 0},
                        {3, 1, 1, -2}, {kArrayMaxCount + 1, 0, 0, 0}};
  for (const Case& c : cases) {
    LastErrorCode = 0;
    EXPECT_EQ(EndStatusOf([&] { ArrayDimNumber(numbers, c.d0, c.d1, c.d2, c.d3); }), 1);
    EXPECT_EQ(LastErrorCode, 7);
  }
}

TEST_F(Arrays, AccessChecksEveryIndex) {
  ArrayDimInt(ints, 5, 0, 0, 0);
  *ArrayElementAt(ints, 4) = 44;
  EXPECT_EQ(*ArrayElementAt(ints, -1), 44);
  ArrayDimByte(bytes, 4, 3, 0, 0);
  *ArrayByteAt(bytes, 3, 2) = 7;
  EXPECT_EQ(static_cast<uint8_t*>(bytes.data)[3 + 2 * 4], 7);

  DebugCapture capture;
  struct Case {
    int32_t i0, i1, i2, i3;
    const char* shownFirst;
  };
  const Case cases[] = {{-6, 0, 0, 0, "[  -1]"}, {5, 0, 0, 0, "[   5]"},
                        {0, 1, 0, 0, "[   0]"}, {0, 0, 0, -1, "[   0]"}};
  for (const Case& c : cases) {
    capture.lines.clear();
    EXPECT_EQ(EndStatusOf([&] { ArrayElementAt(ints, c.i0, c.i1, c.i2, c.i3); }), 1);
    EXPECT_EQ(LastErrorCode, 9);
    ASSERT_EQ(capture.lines.size(), 7u);  // three report pairs, then the error line
    EXPECT_EQ(capture.lines[1], std::string("TXaccess: ") + c.shownFirst + "\n");
  }
  DimArray fresh{};
  EXPECT_EQ(EndStatusOf([&] { ArrayNumberAt(fresh, 0); }), 1);
}

TEST_F(Arrays, FailedAccessReportsThreeTimesWithGrowingIndexLists) {
  DebugCapture capture;
  ArrayDimInt(ints, 10, 3, 0, 0);
  EXPECT_EQ(EndStatusOf([&] { ArrayElementAt(ints, 12, 1, 0, 0); }), 1);
  const std::vector<std::string> pair = {"TXbounds: [  10][   3]\n", "TXaccess: [  12][   1]\n"};
  const std::vector<std::string> expected = {pair[0], pair[1], pair[0], pair[1],
                                             pair[0], pair[1], "TXerror: 9\n"};
  EXPECT_EQ(capture.lines, expected);

  capture.lines.clear();
  ArrayDimNumber(numbers, 2, 3, 4, 5);
  EXPECT_EQ(EndStatusOf([&] { ArrayNumberAt(numbers, 1, 2, 3, 5); }), 1);
  EXPECT_EQ(capture.lines[0], "TXbounds: [   2][   3][   4]\n");  // number reports stop at three
  EXPECT_EQ(capture.lines[1], "TXaccess: [   1][   2][   0]\n");
  EXPECT_EQ(capture.lines[3], "TXaccess: [   1][   2][   3]\n");
}

TEST(ArraysDeathTest, OutOfBoundsWritesTheReportToStandardErrorAndExitsOne) {
  const std::string pair = "bounds: \\[  10\\]\\[   3\\]\naccess: \\[  12\\]\\[   1\\]\n";
  EXPECT_EXIT(
      {
        unsetenv("QRN_DEBUG_OUTPUT");  // debugger lines would share standard error
        DimArray a{};
        ArrayDimInt(a, 10, 3, 0, 0);
        ArrayElementAt(a, 12, 1, 0, 0);
      },
      testing::ExitedWithCode(1), "^" + pair + pair + pair + "$");
}

TEST_F(Arrays, AssignmentCopiesAndSelfAssignmentKeeps) {
  const int32_t values[] = {3, 1, 4, 1, 5};
  ArrayDimIntFromValues(ints, 5, values);
  DimArray copy{};
  ArrayAssignInt(copy, ints);
  EXPECT_EQ(copy.size0, 5);
  EXPECT_EQ(*ArrayElementAt(copy, 4), 5);
  ArrayAssignInt(copy, copy);
  EXPECT_EQ(*ArrayElementAt(copy, 2), 4);
  ArrayRelease(copy);

  const double numbersIn[] = {0.5, -2};
  ArrayDimNumberFromValues(numbers, 2, numbersIn);
  EXPECT_EQ(*ArrayNumberAt(numbers, 1), -2);
  ArrayDimNumberFromValues(numbers, 0, numbersIn);
  EXPECT_EQ(numbers.count, 0);
  EXPECT_EQ(ArrayDimSize(numbers, 0), 0);
}

TEST(ArrayHelpers, MinimumAndMaximumKeepTheirOwnRules) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(MinInt(2, 3), 2);
  EXPECT_EQ(MaxInt(2, 3), 3);
  EXPECT_TRUE(std::isnan(MinDouble(1, nan)));
  EXPECT_EQ(MinDouble(nan, 1), 1);
  EXPECT_EQ(MaxDouble(nan, 1), 1);
  EXPECT_TRUE(std::isnan(MaxDouble(1, nan)));
  EXPECT_EQ(MaxIntTrunc(-5, -2.9), -2);
  EXPECT_EQ(CompareCallTrunc(nullptr, nullptr, [](const Str*, const Str*) { return 0.5; }), 0);
}

}  // namespace
