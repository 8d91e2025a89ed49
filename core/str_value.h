// StrValue: the owning form of Str for code written in C++ (the tool, tests). It releases its
// record on destruction, copies by copying the bytes and moves by taking the fields. Str itself
// stays a plain record for the runtime's free functions; a StrValue passes as `const Str&`, and
// changes in place go through str(). The language's +, += and comparisons work on it.
#pragma once

#include <atomic>
#include <concepts>
#include <cstdint>
#include <string_view>
#include <utility>

#include "core/str.h"
#include "core/str_operators.h"

class StrValue {
 public:
  StrValue() { StrInitEmpty(s_); }
  StrValue(const char* text) { StrFromCString(s_, text); }  // NOLINT: a literal reads as a string
  explicit StrValue(const Str& other) { StrCopyConstruct(s_, other); }
  explicit StrValue(int32_t v) { StrFromInt(s_, v); }
  explicit StrValue(int64_t v) { StrFromInt64(s_, v); }
  explicit StrValue(float v) { FloatToStr(s_, v); }
  explicit StrValue(double v) { NumberToStr(s_, v); }
  StrValue(const StrValue& other) { StrCopyConstruct(s_, other.s_); }
  StrValue(StrValue&& other) noexcept { TakeFields(other); }
  ~StrValue() {
    if (s_.data != StrEmptyBuffer) StrRelease(s_);
  }

  StrValue& operator=(const StrValue& other) {
    StrAssign(s_, other.s_);
    return *this;
  }
  StrValue& operator=(StrValue&& other) noexcept {
    if (this != &other) {
      StrRelease(s_);
      TakeFields(other);
    }
    return *this;
  }
  StrValue& operator=(const char* text) {
    StrAssignCString(s_, text);
    return *this;
  }

  template <class T>
    requires StrOperand<T>
  StrValue& operator+=(const T& right) {
    StrAppendValue(s_, right);
    return *this;
  }

  // Takes ownership of a record a runtime function constructed (FormatNumber, LastErrorText).
  static StrValue Adopt(Str record) {
    StrValue v;
    v.s_ = record;
    return v;
  }

  // The record, for the runtime functions that change a string in place.
  Str& str() { return s_; }
  const Str& str() const { return s_; }
  operator const Str&() const { return s_; }  // NOLINT: reads like the plain record

  const char* c_str() const { return s_.data; }
  uint32_t length() const { return s_.length; }
  bool empty() const { return s_.length == 0; }
  std::string_view view() const { return {s_.data, s_.length}; }

 private:
  // Field by field: an append has just stored the length alone, and a wider load over it would
  // wait for that store to reach memory, in every + of a chain. The fence, which emits nothing,
  // keeps the compiler from merging the length with the capacity into one such load.
  void TakeFields(StrValue& other) {
    s_.data = other.s_.data;
    s_.capacity = other.s_.capacity;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    s_.length = other.s_.length;
    StrInitEmpty(other.s_);
  }

  Str s_;
};

// The operators of the language wherever a StrValue takes part. Raw text + raw text or + a number
// would be pointer arithmetic in C++: start such a concatenation with a StrValue.
template <class L, class R>
concept StrValueOperands =
    (std::same_as<L, StrValue> || std::same_as<R, StrValue>) && StrOperandPair<L, R>;

template <class L, class R>
  requires StrValueOperands<L, R>
StrValue operator+(const L& left, const R& right) {
  Str result;
  StrConcatAny(result, left, right);
  return StrValue::Adopt(result);
}

// A temporary on the left (every + after the first in a + b + c) takes the right side in place.
template <class L, class R>
  requires std::same_as<L, StrValue> && StrOperand<R>
StrValue operator+(L&& left, const R& right) {
  StrAppendValue(left.str(), right);
  return std::move(left);
}

template <class L, class R>
  requires StrValueOperands<L, R>
bool operator==(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kEqual, left, right);
}
template <class L, class R>
  requires StrValueOperands<L, R>
bool operator!=(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kNotEqual, left, right);
}
template <class L, class R>
  requires StrValueOperands<L, R>
bool operator<(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kLess, left, right);
}
template <class L, class R>
  requires StrValueOperands<L, R>
bool operator>(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kGreater, left, right);
}
template <class L, class R>
  requires StrValueOperands<L, R>
bool operator<=(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kLessEqual, left, right);
}
template <class L, class R>
  requires StrValueOperands<L, R>
bool operator>=(const L& left, const R& right) {
  return StrCompareValues(StrCompareOp::kGreaterEqual, left, right);
}
