// Degree maths and number text helpers.
#include "core/maths.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "core/number_text.h"

namespace {

// Longest text the fixed-point buffer holds; longer output is cut here.
constexpr size_t kFormatLimit = 143;

// The static work strings live for the whole process: exit-time code may still format.
Str& FormatBuffer() {
  static Str buffer = [] {
    Str s;
    StrInitEmpty(s);
    StrReserve(s, 128, true);
    return s;
  }();
  return buffer;
}

Str& ChrBuffer() {
  static Str buffer = [] {
    Str s;
    StrFromCString(s, "x");
    return s;
  }();
  return buffer;
}

// printf's "%w.df" with the runtime's rounding: a negative width aligns left.
std::string PadToWidth(std::string text, int32_t width) {
  const bool left = width < 0;
  const size_t field = std::min<size_t>(left ? size_t(-int64_t(width)) : size_t(width),
                                        kFormatLimit);
  if (text.size() >= field) return text;
  const std::string pad(field - text.size(), ' ');
  return left ? text + pad : pad + text;
}

}  // namespace

double SinDeg(double angle) { return std::sin(angle * kDegToRad); }
double CosDeg(double angle) { return std::cos(angle * kDegToRad); }
double TanDeg(double angle) { return std::tan(angle * kDegToRad); }
double ATan2Deg(double y, double x) { return std::atan2(y, x) * kRadToDeg; }

double ASinDeg(double x) {
  if (x >= 1) return 90;
  if (x <= -1) return -90;
  return std::asin(x) * kRadToDeg;
}

double ACosDeg(double x) {
  if (x >= 1) return 0;
  if (x <= -1) return 180;
  return std::acos(x) * kRadToDeg;
}

double PowNumber(double a, double b) { return std::pow(a, b); }
double SqrtNumber(double x) { return std::sqrt(x); }
double LogNumber(double x) { return std::log(x); }

int32_t ModInt(int32_t a, int32_t b) {
  if (b == 0 || b == -1) return 0;  // -1 would trap on INT32_MIN; the remainder is 0 anyway
  return a % b;
}

double ModNumber(double a, double b) { return b == 0.0 ? 0.0 : std::fmod(a, b); }

int32_t NumberTextLength(double x) {
  Str text;
  NumberToStr(text, x);
  const int32_t length = int32_t(text.length);
  StrRelease(text);
  return length;
}

int32_t IntTextLength(int32_t n) {
  Str text;
  StrFromInt(text, n);
  const int32_t length = int32_t(text.length);
  StrRelease(text);
  return length;
}

Str FormatNumber(double width, double decimals, double value) {
  const int32_t places = std::min<int32_t>(TruncToI32(decimals), kFormatLimit);
  const std::string text = PadToWidth(FormatFixedText(value, places), TruncToI32(width));
  Str& buffer = FormatBuffer();
  const size_t length = std::min(text.size(), kFormatLimit);
  std::memcpy(buffer.data, text.data(), length);
  buffer.data[length] = 0;
  StrSyncLength(buffer);
  Str result;
  StrCopyConstruct(result, buffer);
  return result;
}

Str ChrString(int32_t code) {
  Str& buffer = ChrBuffer();
  buffer.data[0] = char(code & 0xFF);
  Str result;
  StrCopyConstruct(result, buffer);
  return result;
}

int32_t StrFirstByte(const Str& s) { return s.length == 0 ? 0 : (unsigned char)s.data[0]; }

int32_t StrByteAt(const Str& s, int32_t i) {
  if (i < 0 || uint32_t(i) >= s.length) return 0;
  return (unsigned char)s.data[i];
}
