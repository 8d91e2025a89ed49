// Concatenation, append and comparison over every mix of operand kinds.
#include "core/str_operators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/str_value.h"

namespace {

std::string TextOf(const Str& s) { return std::string(s.data, s.length); }

// One operand of each kind with the text the string constructors give it.
template <class F>
void ForEachOperandKind(F visit) {
  static const StrValue text("ab");
  visit(text.str(), "ab");
  visit(static_cast<const char*>("cd"), "cd");
  visit(int32_t(-7), "-7");
  visit(int64_t(INT64_MIN), "-9223372036854775808");
  visit(0.25f, "0.25");
  visit(2.0, "2");
}

TEST(StrConcat, EveryMixWithTextGivesBothTexts) {
  int members = 0;
  ForEachOperandKind([&](const auto& left, const char* leftText) {
    ForEachOperandKind([&](const auto& right, const char* rightText) {
      using L = std::decay_t<decltype(left)>;
      using R = std::decay_t<decltype(right)>;
      if constexpr (StrOperandPair<L, R>) {
        ++members;
        const std::string expected = std::string(leftText) + rightText;
        Str result;
        StrConcatAny(result, left, right);
        EXPECT_EQ(TextOf(result), expected);
        StrRelease(result);
        if constexpr (StrTextOperand<L>) {
          StrValue target(leftText);
          EXPECT_EQ((target += right).view(), expected);
        }
      }
    });
  });
  EXPECT_EQ(members, 20);
}

template <class Build>
StrValue Built(Build build) {
  Str s;
  build(s);
  return StrValue::Adopt(s);
}

TEST(StrConcat, NamedMembersSpellNumbersLikeTheConstructors) {
  const StrValue v("v=");
  EXPECT_EQ(Built([&](Str& s) { StrConcatNumber(s, v, 2.0); }).view(), "v=2");
  EXPECT_EQ(Built([&](Str& s) { StrConcatNumber(s, v, 0.25); }).view(), "v=0.25");
  EXPECT_EQ(Built([&](Str& s) { StrConcatNumber(s, v, 0.0625); }).view(), "v=6.25e-002");
  EXPECT_EQ(Built([&](Str& s) { StrConcatInt(s, v, -3); }).view(), "v=-3");
  EXPECT_EQ(Built([&](Str& s) { CStringConcatNumber(s, "x", 1e10); }).view(), "x1.e+010");
  EXPECT_EQ(Built([&](Str& s) { NumberConcatCString(s, -0.5, "s"); }).view(), "-0.5s");
  EXPECT_EQ(Built([&](Str& s) { CStringConcatInt(s, nullptr, 12); }).view(), "12");
}

TEST(StrAppend, SelfAndEmptyOperands) {
  StrValue s("abc");
  StrAppend(s.str(), s);
  EXPECT_EQ(s.view(), "abcabc");
  s += s;
  EXPECT_EQ(s.view(), "abcabcabcabc");

  s += static_cast<const char*>(nullptr);
  EXPECT_EQ(s.length(), 12u);

  StrValue n;
  StrAppendInt64(StrAppendFloat(StrAppendInt(n.str(), 1), 0.5f), -2);
  StrAppendNumber(n.str(), 1e-3);
  EXPECT_EQ(n.view(), "10.5-21.e-003");
}

constexpr StrCompareOp kOps[] = {StrCompareOp::kEqual,   StrCompareOp::kNotEqual,
                                 StrCompareOp::kLess,    StrCompareOp::kGreater,
                                 StrCompareOp::kLessEqual, StrCompareOp::kGreaterEqual};
constexpr int kUnordered = 2;

// What each operator gives for an ordering of left against right (-1, 0, 1 or unordered).
bool Expected(StrCompareOp op, int order) {
  if (order == kUnordered) return op == StrCompareOp::kNotEqual;
  switch (op) {
    case StrCompareOp::kEqual: return order == 0;
    case StrCompareOp::kNotEqual: return order != 0;
    case StrCompareOp::kLess: return order < 0;
    case StrCompareOp::kGreater: return order > 0;
    case StrCompareOp::kLessEqual: return order <= 0;
    case StrCompareOp::kGreaterEqual: return order >= 0;
  }
  return false;
}

int Reversed(int order) { return order == kUnordered ? order : -order; }

// Checks all six operators in both operand orders, with the text as raw text, as a Str and
// through the StrValue operators.
template <class Other>
void ExpectOrder(const char* text, const Other& other, int order) {
  const StrValue str(text);
  const char* raw = text;
  for (StrCompareOp op : kOps) {
    SCOPED_TRACE(testing::Message() << '"' << text << "\" op " << int(op));
    EXPECT_EQ(StrCompareValues(op, raw, other), Expected(op, order));
    EXPECT_EQ(StrCompareValues(op, str.str(), other), Expected(op, order));
    EXPECT_EQ(StrCompareValues(op, other, raw), Expected(op, Reversed(order)));
    EXPECT_EQ(StrCompareValues(op, other, str.str()), Expected(op, Reversed(order)));
  }
  EXPECT_EQ(str == other, Expected(StrCompareOp::kEqual, order));
  EXPECT_EQ(str != other, Expected(StrCompareOp::kNotEqual, order));
  EXPECT_EQ(str < other, Expected(StrCompareOp::kLess, order));
  EXPECT_EQ(other > str, Expected(StrCompareOp::kLess, order));
  EXPECT_EQ(str >= other, Expected(StrCompareOp::kGreaterEqual, order));
  EXPECT_EQ(other <= str, Expected(StrCompareOp::kGreaterEqual, order));
}

TEST(StrCompare, TextWithTextIsByteWise) {
  struct Case {
    const char* left;
    const char* right;
    int order;
  } cases[] = {{"abc", "abd", -1}, {"ab", "abc", -1}, {"", "a", -1},  {"\xC8", "z", 1},
               {"same", "same", 0}, {"", "", 0},      {"B", "a", -1}, {"abc", "ab", 1}};
  for (const Case& c : cases) {
    ExpectOrder(c.left, c.right, c.order);
    ExpectOrder(c.left, StrValue(c.right), c.order);
  }
}

TEST(StrCompare, EqualitySeesTheStoredTextInequalityStopsAtNul) {
  StrValue withNul("abXc");
  withNul.str().data[2] = 0;  // stored length 4, text "ab"
  const StrValue ab("ab");
  EXPECT_FALSE(StrCompareValues(StrCompareOp::kEqual, withNul.str(), "ab"));
  EXPECT_FALSE(StrCompareValues(StrCompareOp::kNotEqual, withNul.str(), "ab"));
  EXPECT_FALSE(StrCompareValues(StrCompareOp::kEqual, "ab", withNul.str()));
  EXPECT_FALSE(StrEquals(withNul, ab));
  EXPECT_FALSE(StrNotEqual(withNul, ab));
  EXPECT_FALSE(StrNotEqualCString(withNul, "ab"));
  EXPECT_TRUE(StrNotEqualCString(ab, "abc"));
  EXPECT_TRUE(StrCompareValues(StrCompareOp::kLessEqual, withNul.str(), "ab"));
}

TEST(StrCompare, TextWithNumberConvertsTheText) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectOrder("5", int64_t(5), 0);
  ExpectOrder("-2", int64_t(-1), -1);
  ExpectOrder("99999999999999999999", int64_t(7766279631452241919), 0);
  ExpectOrder("12", int32_t(5), 1);
  ExpectOrder("4294967297", int32_t(INT32_MAX), 0);
  ExpectOrder("x", int32_t(0), 0);
  ExpectOrder("1.50", 1.5, 0);
  ExpectOrder("x", 0.0, 0);
  ExpectOrder("0x10", 1.0, -1);
  ExpectOrder("1e999", HUGE_VAL, 0);
  ExpectOrder("1", nan, kUnordered);
  ExpectOrder("0.1", 0.1f, -1);  // the float widens to 0.100000001490116...
  ExpectOrder("0.5", 0.5f, 0);
  ExpectOrder("-1e40", -HUGE_VALF, 1);
  ExpectOrder("nan", float(nan), kUnordered);
}

TEST(StrCompare, ThreeWayForms) {
  const StrValue abc("abc"), three("3"), ten("10"), empty;
  EXPECT_EQ(StrCompareCString(abc, "abd"), -1);
  EXPECT_EQ(StrCompareCString(abc, "ab"), 1);
  EXPECT_EQ(StrCompareCString(empty, nullptr), 0);
  EXPECT_EQ(StrCompareNumber(StrValue("2"), 3.0), -1);
  EXPECT_EQ(StrCompareNumber(three, std::nan("")), 0);
  EXPECT_EQ(StrCompareInt(ten, 9), 1);
  EXPECT_EQ(StrCompareInt(ten, 10), 0);
}

TEST(StrValueType, OwnsCopiesAndMoves) {
  StrValue a("hello");
  StrValue b = a;
  EXPECT_NE(a.c_str(), b.c_str());
  EXPECT_EQ(b, a);
  const char* block = a.c_str();
  StrValue c = std::move(a);
  EXPECT_EQ(c.c_str(), block);
  EXPECT_EQ(a.c_str(), StrEmptyBuffer);  // NOLINT: a moved-from value is empty by contract
  b = std::move(c);
  EXPECT_EQ(b.c_str(), block);
  b = b;
  EXPECT_EQ(b.view(), "hello");
  b = "x";
  EXPECT_EQ(b.view(), "x");
  EXPECT_EQ((1.5 + StrValue("s") + "c").view(), "1.5sc");
}

}  // namespace
