// The language's string operators: concatenation and append for every mix of text (Str or raw
// text) with text or a number, and the six comparisons between text and text or a number.
// A number meets text through the string constructors, so "x" + 1.5 spells 1.5 exactly as a
// string assigned 1.5 does; a comparison of text with a number converts the text and compares
// numbers. The families are generated from templates over the operand kinds; the named entry
// points are the members the runtime itself calls.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/str.h"
#include "core/text_to_number.h"

// Operand kinds: text is a Str (or anything that reads as one) or raw NUL-terminated text;
// numbers are exactly i32, i64, float and double, so other integer types must be cast first.
template <class T>
concept StrTextOperand =
    std::is_convertible_v<const T&, const Str&> || std::is_convertible_v<const T&, const char*>;
template <class T>
concept StrNumberOperand = std::same_as<T, int32_t> || std::same_as<T, int64_t> ||
                           std::same_as<T, float> || std::same_as<T, double>;
template <class T>
concept StrOperand = StrTextOperand<T> || StrNumberOperand<T>;
// Two numbers are arithmetic, not string operations.
template <class L, class R>
concept StrOperandPair = StrOperand<L> && StrOperand<R> && (StrTextOperand<L> || StrTextOperand<R>);

// ---- Appends: the target changes in place and is returned.

Str& StrAppend(Str& target, const Str& source);  // appending a string to itself doubles it
Str& StrAppendInt(Str& target, int32_t v);
Str& StrAppendInt64(Str& target, int64_t v);
Str& StrAppendFloat(Str& target, float v);
Str& StrAppendNumber(Str& target, double v);

inline Str& StrAppendValue(Str& target, const Str& v) { return StrAppend(target, v); }
inline Str& StrAppendValue(Str& target, const char* v) {
  StrAppendCString(target, v);
  return target;
}
inline Str& StrAppendValue(Str& target, int32_t v) { return StrAppendInt(target, v); }
inline Str& StrAppendValue(Str& target, int64_t v) { return StrAppendInt64(target, v); }
inline Str& StrAppendValue(Str& target, float v) { return StrAppendFloat(target, v); }
inline Str& StrAppendValue(Str& target, double v) { return StrAppendNumber(target, v); }

// Constructs (without releasing) a string from any operand.
inline void StrFromValue(Str& s, const Str& v) { StrCopyConstruct(s, v); }
inline void StrFromValue(Str& s, const char* v) { StrFromCString(s, v); }
inline void StrFromValue(Str& s, int32_t v) { StrFromInt(s, v); }
inline void StrFromValue(Str& s, int64_t v) { StrFromInt64(s, v); }
inline void StrFromValue(Str& s, float v) { FloatToStr(s, v); }
inline void StrFromValue(Str& s, double v) { NumberToStr(s, v); }

// ---- Concatenation: constructs result (its old contents are not released) as left + right.
// Result must not be one of the operands.

template <class L, class R>
  requires StrOperandPair<L, R>
void StrConcatAny(Str& result, const L& left, const R& right) {
  StrFromValue(result, left);
  StrAppendValue(result, right);
}

void StrConcat(Str& result, const Str& left, const Str& right);
void StrConcatCString(Str& result, const Str& left, const char* right);
void StrConcatInt(Str& result, const Str& left, int32_t right);
void StrConcatInt64(Str& result, const Str& left, int64_t right);
void StrConcatFloat(Str& result, const Str& left, float right);
void StrConcatNumber(Str& result, const Str& left, double right);
void CStringConcatStr(Str& result, const char* left, const Str& right);
void CStringConcatInt(Str& result, const char* left, int32_t right);
void CStringConcatNumber(Str& result, const char* left, double right);
void NumberConcatCString(Str& result, double left, const char* right);

// ---- Comparisons.

enum class StrCompareOp { kEqual, kNotEqual, kLess, kGreater, kLessEqual, kGreaterEqual };

namespace str_compare_detail {

inline const char* TextOf(const Str& s) { return s.data; }
inline const char* TextOf(const char* t) { return t ? t : ""; }

// Equality with a Str on either side sees its whole stored text; the other comparisons, like
// the C library's, stop at the first NUL.
inline bool TextsEqual(const Str& a, const Str& b) { return StrEquals(a, b); }
inline bool TextsEqual(const Str& a, const char* b) { return StrEqualsCString(a, b); }
inline bool TextsEqual(const char* a, const Str& b) { return StrEqualsCString(b, a); }
inline bool TextsEqual(const char* a, const char* b) {
  return std::strcmp(TextOf(a), TextOf(b)) == 0;
}

inline int32_t TextAsNumberOf(const char* t, int32_t) { return CStrToInt(t); }
inline int64_t TextAsNumberOf(const char* t, int64_t) { return CStrToInt64(t); }
inline double TextAsNumberOf(const char* t, float) { return CStrToNumber(t); }
inline double TextAsNumberOf(const char* t, double) { return CStrToNumber(t); }

// Native comparisons, so a NaN makes everything false except "not equal".
template <class T>
bool Apply(StrCompareOp op, T a, T b) {
  switch (op) {
    case StrCompareOp::kEqual: return a == b;
    case StrCompareOp::kNotEqual: return a != b;
    case StrCompareOp::kLess: return a < b;
    case StrCompareOp::kGreater: return a > b;
    case StrCompareOp::kLessEqual: return a <= b;
    case StrCompareOp::kGreaterEqual: return a >= b;
  }
  return false;
}

}  // namespace str_compare_detail

// left op right, for every pair of operand kinds with text on at least one side.
template <class L, class R>
  requires StrOperandPair<L, R>
bool StrCompareValues(StrCompareOp op, const L& left, const R& right) {
  using namespace str_compare_detail;
  if constexpr (StrTextOperand<L> && StrTextOperand<R>) {
    if (op == StrCompareOp::kEqual) return TextsEqual(left, right);
    return Apply(op, std::strcmp(TextOf(left), TextOf(right)), 0);
  } else if constexpr (StrTextOperand<L>) {
    using Common = decltype(TextAsNumberOf(TextOf(left), right));
    return Apply<Common>(op, TextAsNumberOf(TextOf(left), right), right);
  } else {
    using Common = decltype(TextAsNumberOf(TextOf(right), left));
    return Apply<Common>(op, left, TextAsNumberOf(TextOf(right), left));
  }
}

bool StrNotEqual(const Str& a, const Str& b);
bool StrNotEqualCString(const Str& a, const char* b);

// Three-way results: negative, zero or positive as -1, 0, 1.
int32_t StrCompareCString(const Str& s, const char* text);
int32_t StrCompareNumber(const Str& s, double number);  // 0 also when either side is NaN
int32_t StrCompareInt(const Str& s, int32_t number);
