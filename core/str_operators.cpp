// The named members of the operator families; the rest come from the templates in the header.
#include "core/str_operators.h"

#include "core/terminate.h"

namespace {

// Numbers become text through the string constructors and are appended as strings.
template <class N, void (*Construct)(Str&, N)>
Str& AppendConverted(Str& target, N v) {
  Str text;
  Construct(text, v);
  StrAppend(target, text);
  StrRelease(text);
  return target;
}

int32_t Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

Str& StrAppend(Str& target, const Str& source) {
  const uint32_t added = source.length;
  if (added == 0) return target;
  if (StrAppendInPlace(target, source.data, added)) return target;
  if (uint64_t(target.length) + added > kStrMaxReserve) FatalTerminate(7);
  StrReserveForAppend(target, target.length + added);
  // Read the source only now: when it is the target itself, the reserve has just moved it.
  StrAppendInPlace(target, source.data, added);
  return target;
}

Str& StrAppendInt(Str& target, int32_t v) { return AppendConverted<int32_t, StrFromInt>(target, v); }
Str& StrAppendInt64(Str& target, int64_t v) {
  return AppendConverted<int64_t, StrFromInt64>(target, v);
}
Str& StrAppendFloat(Str& target, float v) { return AppendConverted<float, FloatToStr>(target, v); }
Str& StrAppendNumber(Str& target, double v) {
  return AppendConverted<double, NumberToStr>(target, v);
}

void StrConcat(Str& result, const Str& left, const Str& right) {
  StrConcatAny(result, left, right);
}
void StrConcatCString(Str& result, const Str& left, const char* right) {
  StrConcatAny(result, left, right);
}
void StrConcatInt(Str& result, const Str& left, int32_t right) {
  StrConcatAny(result, left, right);
}
void StrConcatInt64(Str& result, const Str& left, int64_t right) {
  StrConcatAny(result, left, right);
}
void StrConcatFloat(Str& result, const Str& left, float right) {
  StrConcatAny(result, left, right);
}
void StrConcatNumber(Str& result, const Str& left, double right) {
  StrConcatAny(result, left, right);
}
void CStringConcatStr(Str& result, const char* left, const Str& right) {
  StrConcatAny(result, left, right);
}
void CStringConcatInt(Str& result, const char* left, int32_t right) {
  StrConcatAny(result, left, right);
}
void CStringConcatNumber(Str& result, const char* left, double right) {
  StrConcatAny(result, left, right);
}
void NumberConcatCString(Str& result, double left, const char* right) {
  StrConcatAny(result, left, right);
}

bool StrNotEqual(const Str& a, const Str& b) {
  return StrCompareValues(StrCompareOp::kNotEqual, a, b);
}
bool StrNotEqualCString(const Str& a, const char* b) {
  return StrCompareValues(StrCompareOp::kNotEqual, a, b);
}

int32_t StrCompareCString(const Str& s, const char* text) {
  return Sign(std::strcmp(s.data, str_compare_detail::TextOf(text)));
}

int32_t StrCompareNumber(const Str& s, double number) {
  const double value = StrToNumber(s);
  if (value < number) return -1;
  return value > number ? 1 : 0;
}

int32_t StrCompareInt(const Str& s, int32_t number) {
  const int32_t value = StrToInt(s);
  if (value < number) return -1;
  return value > number ? 1 : 0;
}
