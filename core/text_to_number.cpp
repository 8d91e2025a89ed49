// Hand-written parsers: the C library's versions follow the locale and accept hexadecimal,
// "inf" and "nan", which the runtime's programs never meant.
#include "core/text_to_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= 9 && c <= 13); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips blanks and an optional sign; returns whether the sign was '-'.
bool SkipBlanksAndSign(const char*& p) {
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  return negative;
}

// Exponent digits beyond this cannot change the result of any mantissa the parser accepts.
constexpr int64_t kExponentCap = 100000000;

// The exponent part after a mantissa, or 0 (with p unchanged) when no digit follows the letter.
int64_t ParseExponent(const char*& p) {
  if (*p != 'e' && *p != 'E' && *p != 'd' && *p != 'D') return 0;
  const char* q = p + 1;
  const bool negative = *q == '-';
  if (*q == '+' || *q == '-') ++q;
  if (!IsDigit(*q)) return 0;
  int64_t exponent = 0;
  for (; IsDigit(*q); ++q) {
    if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
  }
  p = q;
  return negative ? -exponent : exponent;
}

}  // namespace

int32_t CStrToInt(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  const bool negative = SkipBlanksAndSign(p);
  int64_t magnitude = 0;
  for (; IsDigit(*p); ++p) {
    if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (*p - '0');
  }
  if (negative) return magnitude > int64_t(INT32_MAX) + 1 ? INT32_MIN : int32_t(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : int32_t(magnitude);
}

double CStrToNumber(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  const bool negative = SkipBlanksAndSign(p);
  // Significant digits only, so the decimal exponent of the first one decides overflow.
  std::string digits;
  bool sawDigit = false;
  for (; IsDigit(*p); ++p) {
    sawDigit = true;
    if (!digits.empty() || *p != '0') digits.push_back(*p);
  }
  int64_t pointShift = int64_t(digits.size());
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p) {
      sawDigit = true;
      if (digits.empty() && *p == '0') {
        --pointShift;
      } else {
        digits.push_back(*p);
      }
    }
  }
  if (!sawDigit) return 0;
  const int64_t exponent = ParseExponent(p);
  const double zero = negative ? -0.0 : 0.0;
  if (digits.empty()) return zero;

  // digits = d1 d2 ... dn with the value 0.d1d2...dn x 10^(pointShift + exponent).
  const int64_t decimalExponent = pointShift + exponent;
  if (decimalExponent > 400) return negative ? -HUGE_VAL : HUGE_VAL;
  if (decimalExponent < -400) return zero;
  const std::string normalised = "0." + digits + "e" + std::to_string(decimalExponent);
  double value = 0;
  const std::errc error =
      std::from_chars(normalised.data(), normalised.data() + normalised.size(), value).ec;
  if (error == std::errc::result_out_of_range) value = decimalExponent > 0 ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

int64_t CStrToInt64(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  const bool negative = SkipBlanksAndSign(p);
  uint64_t value = 0;
  for (; IsDigit(*p); ++p) value = value * 10 + uint64_t(*p - '0');
  return int64_t(negative ? 0 - value : value);
}

int32_t StrToInt(const Str& s) { return CStrToInt(s.data); }
double StrToNumber(const Str& s) { return CStrToNumber(s.data); }
int64_t StrToInt64(const Str& s) { return CStrToInt64(s.data); }
