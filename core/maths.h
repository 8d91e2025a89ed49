// Maths in degrees with guarded edges, and the small number-to-text helpers of the language.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/str.h"

inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;

double SinDeg(double angle);
double CosDeg(double angle);
double TanDeg(double angle);
double ATan2Deg(double y, double x);
double ASinDeg(double x);
double ACosDeg(double x);
double PowNumber(double a, double b);
double SqrtNumber(double x);
double LogNumber(double x);
int32_t ModInt(int32_t a, int32_t b);
// A sum or difference of ints, worked out in 64 bits, held to the int range.
inline int32_t SaturateToInt(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
double ModNumber(double a, double b);

int32_t NumberTextLength(double x);
int32_t IntTextLength(int32_t n);

// Results are new strings the caller releases. FormatNumber and ChrString share static
// buffers: main thread only.
Str FormatNumber(double width, double decimals, double value);
Str ChrString(int32_t code);
int32_t StrFirstByte(const Str& s);
int32_t StrByteAt(const Str& s, int32_t i);
