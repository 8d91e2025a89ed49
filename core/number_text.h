// Number text without the C library's locale or rounding: the runtime's 10-digit form and the
// fixed-point form, both on one 17-digit decimal core rounded half-up on the digit string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The correctly rounded 17 significant digits of |x|, with x = 0.d1d2...d17 x 10^decpt.
// Zero gives the digits "0" and decpt 1.
struct DecimalDigits {
  char digits[18];  // NUL-terminated
  int count;
  int decpt;
  bool negative;
};
DecimalDigits DecimalCore(double x);

// Rounds half-up to `keep` significant digits (keep <= 0 rounds to nothing or to a carried 1);
// a carry adds a digit at the front and raises decpt.
DecimalDigits RoundDigits(const DecimalDigits& d, int keep);

// The 10-significant-digit text of x into out (at least 32 bytes), with the final '.' rules of
// the string constructor already applied ("5", "0.5", "6.25e-002", "1.e+010", "-0").
void FormatNumberText(double x, char* out);

// x in fixed-point with `decimals` digits after the point (half-up, zeros after the 17th
// significant digit); no padding.
std::string FormatFixedText(double x, int decimals);

// Truncation toward zero; NaN and values outside i32 give INT32_MIN, the x86 "indefinite" result.
int32_t TruncToI32(double x);
