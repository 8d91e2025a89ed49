// The decimal core behind every number the runtime turns into text.
#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Texts of the non-finite values, as the original C library printed them.
const char* NonFiniteText(double x) {
  if (std::isinf(x)) return x < 0 ? "-1.#INF" : "1.#INF";
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  if (bits == 0xFFF8000000000000ull) return "-1.#IND";
  return std::signbit(x) ? "-1.#QNAN" : "1.#QNAN";
}

// Removes the run of '0's after the '.' that ends at 'e' or at the end of the text.
void StripFractionZeros(char* text) {
  char* point = std::strchr(text, '.');
  if (!point) return;
  char* end = std::strchr(point, 'e');
  if (!end) end = point + std::strlen(point);
  char* cut = end;
  while (cut > point + 1 && cut[-1] == '0') --cut;
  std::memmove(cut, end, std::strlen(end) + 1);
}

std::string ExponentForm(const DecimalDigits& d) {
  const DecimalDigits r = RoundDigits(d, 10);  // always 10 or, after a carry, 11 digits
  const int exponent = r.decpt - 1;
  char text[32];
  std::snprintf(text, sizeof text, "%s%c.%.9se%c%03d", d.negative ? "-" : "", r.digits[0],
                r.digits + 1, exponent < 0 ? '-' : '+', std::abs(exponent));
  return text;
}

}  // namespace

DecimalDigits DecimalCore(double x) {
  DecimalDigits d{};
  d.negative = std::signbit(x);
  const double magnitude = std::fabs(x);
  if (magnitude == 0) {
    std::strcpy(d.digits, "0");
    d.count = 1;
    d.decpt = 1;
    return d;
  }
  char text[40];
  const auto result =
      std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 16);
  *result.ptr = 0;
  // text is "d.dddddddddddddddde[+-]xx"
  d.digits[0] = text[0];
  std::memcpy(d.digits + 1, text + 2, 16);
  d.digits[17] = 0;
  d.count = 17;
  d.decpt = std::atoi(std::strchr(text, 'e') + 1) + 1;
  return d;
}

DecimalDigits RoundDigits(const DecimalDigits& d, int keep) {
  DecimalDigits r = d;
  if (keep >= d.count) return r;
  if (keep < 0) {
    std::strcpy(r.digits, "0");
    r.count = 1;
    return r;
  }
  const bool up = d.digits[keep] >= '5';
  r.count = keep;
  r.digits[keep] = 0;
  if (!up) {
    if (keep == 0) {
      std::strcpy(r.digits, "0");
      r.count = 1;
    }
    return r;
  }
  int i = keep - 1;
  while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
  if (i >= 0) {
    ++r.digits[i];
    return r;
  }
  // Carry out of the first digit: one more digit in front.
  std::memmove(r.digits + 1, r.digits, size_t(keep) + 1);
  r.digits[0] = '1';
  r.count = keep + 1;
  r.decpt = d.decpt + 1;
  return r;
}

void FormatNumberText(double x, char* out) {
  // Whole numbers below 10^9 take the fixed form with every decimal stripped: their digits.
  if (x == std::trunc(x) && std::fabs(x) < 1e9 && !(x == 0 && std::signbit(x))) {
    *std::to_chars(out, out + 31, int64_t(x)).ptr = 0;
    return;
  }
  if (!std::isfinite(x)) {
    std::strcpy(out, NonFiniteText(x));
    return;
  }
  const DecimalDigits d = DecimalCore(x);
  const int magnitude = d.decpt - 1;  // the form is chosen before any rounding
  const bool exponent = magnitude < -1 || magnitude > 9;
  const std::string text = exponent ? ExponentForm(d) : FormatFixedText(x, 10 - d.decpt);
  std::memcpy(out, text.c_str(), text.size() + 1);
  StripFractionZeros(out);
  const size_t length = std::strlen(out);
  if (std::strcmp(out, ".0") == 0) {
    std::strcpy(out, "0");
  } else if (length > 0 && out[length - 1] == '.') {
    out[length - 1] = 0;
  }
}

std::string FormatFixedText(double x, int decimals) {
  if (!std::isfinite(x)) return NonFiniteText(x);
  if (decimals < 0) decimals = 0;
  const DecimalDigits d = DecimalCore(x);
  const DecimalDigits r = RoundDigits(d, d.decpt + decimals);
  std::string text;
  if (d.negative) text += '-';
  if (r.decpt <= 0) {
    text += '0';
  } else {
    for (int i = 0; i < r.decpt; ++i) text += i < r.count ? r.digits[i] : '0';
  }
  if (decimals > 0) {
    text += '.';
    for (int i = 0; i < decimals; ++i) {
      const int index = r.decpt + i;
      text += (index < 0 || index >= r.count) ? '0' : r.digits[index];
    }
  }
  return text;
}

int32_t TruncToI32(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;
  return int32_t(x);
}
