// The locale-free parsers: what they accept, where they stop, and their overflow rules.
#include "core/text_to_number.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "core/str_value.h"

namespace {

TEST(TextToInt64, ParsesTheLeadingDecimalNumber) {
  struct Case {
    const char* text;
    int64_t value;
  } cases[] = {
      {"  -42abc", -42},
      {"+7", 7},
      {"-", 0},
      {"12 34", 12},
      {"abc", 0},
      {"", 0},
      {"\t\n\v\f\r 5", 5},
      {"0x1A", 0},
      {"- 5", 0},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", INT64_MIN},           // wraps
      {"99999999999999999999", 7766279631452241919},  // 20 nines, modulo 2^64
      {"9999999999999999999", -8446744073709551617},  // 19 nines
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CStrToInt64(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(StrToInt64(StrValue(c.text)), c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(CStrToInt64(nullptr), 0);
}

TEST(TextToInt, SaturatesToTheIntRange) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {" 12ab", 12},
      {"-2147483648", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"4294967297", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"99999999999999999999999999", INT32_MAX},
      {"0x1A", 0},
      {"\x80" "5", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CStrToInt(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(StrToInt(StrValue(c.text)), c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(CStrToInt(nullptr), 0);
}

TEST(TextToNumber, ReadsDecimalsAndExponentsOnly) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"1.5d3", 1500},  {"1.5D+3", 1500}, {"0x10", 0},      {"inf", 0},
      {"nan", 0},       {"-inf", 0},      {" \t-2.5x", -2.5}, {"1e", 1},
      {"1e+", 1},       {"2d-x", 2},      {"2e-324", 0},    {"3e-324", 4.9406564584124654e-324},
      {"1.7976931348623158e308", 1.7976931348623157e308},
      {"1.7976931348623159e308", HUGE_VAL}, {"1e400", HUGE_VAL}, {"-1.8e308", -HUGE_VAL},
      {"1e99999999999999999999", HUGE_VAL},
      {"0.000000000000000000000000000001e30", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CStrToNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(StrToNumber(StrValue(c.text)), c.value) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::signbit(CStrToNumber("-0")));
  EXPECT_TRUE(std::signbit(CStrToNumber("-1e-999")));
  EXPECT_EQ(CStrToNumber(nullptr), 0);
  // Zeros around the point shift the exponent, not the digits.
  EXPECT_EQ(CStrToNumber((std::string(500, '0') + "1e400").c_str()), HUGE_VAL);
  EXPECT_EQ(CStrToNumber(("0." + std::string(500, '0') + "1e500").c_str()), 0.1);
}

// On decimal text the C library (in the "C" locale, which the tests never change) rounds
// correctly, so it is a fair reference for the digits, the point and the exponent.
TEST(TextToNumber, AgreesWithTheCLibraryOnDecimalText) {
  std::mt19937 rng(42);
  const std::string alphabet = "0123456789012345678901234567890123456789..eE+- ";
  std::uniform_int_distribution<size_t> length(0, 30), pick(0, alphabet.size() - 1);
  for (int i = 0; i < 20000; ++i) {
    std::string text(length(rng), ' ');
    for (char& c : text) c = alphabet[pick(rng)];
    const double reference = std::strtod(text.c_str(), nullptr);
    const double parsed = CStrToNumber(text.c_str());
    ASSERT_EQ(parsed, reference) << '"' << text << '"';
    ASSERT_EQ(std::signbit(parsed), std::signbit(reference)) << '"' << text << '"';
    const long long whole = std::strtoll(text.c_str(), nullptr, 10);
    ASSERT_EQ(CStrToInt(text.c_str()),
              int32_t(std::clamp<long long>(whole, INT32_MIN, INT32_MAX))) << '"' << text << '"';
  }
}

}  // namespace
