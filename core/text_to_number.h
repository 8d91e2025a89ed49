// Text to number, decimal only and locale-free: leading blanks, a sign and the leading number
// count; anything after it, and text that does not start with a number, is ignored (0).
// Hexadecimal prefixes, "inf" and "nan" read as their leading decimal part.
#pragma once

#include <cstdint>

#include "core/str.h"

// Whole number, saturated to the i32 range. Null text gives 0.
int32_t CStrToInt(const char* text);
// Number with an optional fraction and exponent (the letter e, E, d or D); out of range gives
// +-HUGE_VAL or +-0.
double CStrToNumber(const char* text);
// Whole number that wraps modulo 2^64 on overflow.
int64_t CStrToInt64(const char* text);

// The same conversions of a string's text up to its first NUL.
int32_t StrToInt(const Str& s);
double StrToNumber(const Str& s);
int64_t StrToInt64(const Str& s);
