// The 10-digit number text that every output file of the tool depends on, and the fixed form.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/maths.h"
#include "core/number_text.h"
#include "core/str.h"
#include "tests/support/owned_str.h"

namespace {

std::string NumberText(double x) {
  Str s;
  NumberToStr(s, x);
  EXPECT_EQ(s.capacity, 80u);
  return OwnedStr(s).text();
}

std::string Taken(Str s) { return OwnedStr(s).text(); }

TEST(NumberText, MatchesTheGoldenTable) {
  struct Case {
    double x;
    const char* text;
  } cases[] = {
      {0, "0"},
      {3, "3"},
      {-7, "-7"},
      {0.5, "0.5"},
      {0.25, "0.25"},
      {0.1, "0.1"},
      {128.0 / 255, "0.5019607843"},
      {2.0 / 3, "0.6666666667"},
      {-0.0, "-0"},
      {1e-5, "1.e-005"},
      {0.099999999999, "1.e-001"},
      {0.0625, "6.25e-002"},
      {0.05, "5.e-002"},
      {1.0 / 255, "3.921568627e-003"},
      {1e10, "1.e+010"},
      {12345678901.0, "1.23456789e+010"},
      {1234567890.5, "1234567891"},
      {9999999999.5, "10000000000"},
      {0.99999999999, "1"},
      {-2.5, "-2.5"},
      {1e300, "1.e+300"},
      {-1.5e-300, "-1.5e-300"},
      {123456.789, "123456.789"},
      {1234567890, "1234567890"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.x), c.text) << c.x;
    EXPECT_EQ(NumberTextLength(c.x), int32_t(std::strlen(c.text))) << c.x;
  }
}

TEST(NumberText, FloatsWidenBeforeFormatting) {
  Str s;
  FloatToStr(s, 0.1f);
  EXPECT_STREQ(s.data, "0.1000000015");
  StrRelease(s);
}

TEST(NumberText, NonFiniteValuesUseTheClassicForms) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(NumberText(inf), "1.#INF");
  EXPECT_EQ(NumberText(-inf), "-1.#INF");
  EXPECT_EQ(NumberText(0.0 * inf), "-1.#IND");
  EXPECT_EQ(NumberText(std::nan("1")), "1.#QNAN");
}

TEST(NumberText, LengthsMatchTheText) {
  EXPECT_EQ(IntTextLength(-12), 3);
  EXPECT_EQ(IntTextLength(0), 1);
}

TEST(FormatNumber, PrintsFixedPointInAField) {
  struct Case {
    double width, decimals, value;
    const char* text;
  } cases[] = {
      {4, 0, 3, "   3"},       {0, 2, 3.14159, "3.14"},
      {4, 0, 12345, "12345"},  {4, 0, -1, "  -1"},
      {0, 0, 2.5, "3"},        {0, 20, 0.1, "0.10000000000000001000"},
      {-5, 1, 2, "2.0  "},     {0, -3, 7.6, "8"},
      {0, 1, -0.04, "-0.0"},   {4.9, 0.9, 10, "  10"},
      {0, 3, 0.0005, "0.001"}, {0, 0, 0.4, "0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Taken(FormatNumber(c.width, c.decimals, c.value)), c.text)
        << c.width << " " << c.decimals << " " << c.value;
}

TEST(FormatNumber, StaysInsideItsBuffer) {
  EXPECT_EQ(Taken(FormatNumber(200, 0, 1)).size(), 143u);
  EXPECT_EQ(Taken(FormatNumber(0, 0, 1e300)).size(), 143u);
  EXPECT_EQ(Taken(FormatNumber(1e12, 1e12, 1)).size(), 143u);
  EXPECT_EQ(Taken(FormatNumber(std::nan(""), std::nan(""), 1)).substr(0, 2), "1 ");
}

TEST(TruncToI32, TruncatesTowardZeroAndFlagsTheUnrepresentable) {
  EXPECT_EQ(TruncToI32(2.9), 2);
  EXPECT_EQ(TruncToI32(-2.9), -2);
  EXPECT_EQ(TruncToI32(2147483647.5), INT_MAX);
  EXPECT_EQ(TruncToI32(2147483648.0), INT_MIN);
  EXPECT_EQ(TruncToI32(-1e20), INT_MIN);
  EXPECT_EQ(TruncToI32(std::nan("")), INT_MIN);
}

}  // namespace
