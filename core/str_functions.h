// The language's library of text functions: trims by a character set, ASCII case, URL escapes,
// hexadecimal, 64-bit numbers in any base and 16-bit wide text (Latin-1). Functions returning a
// Str hand over a new string that the caller releases.
#pragma once

#include <cstdint>

#include "core/str.h"

// A new empty string, for functions that answer "nothing".
inline Str StrNewEmpty() {
  Str s;
  StrInitEmpty(s);
  return s;
}

Str StrTrimLeft(const Str& text, const Str& set);
Str StrTrimRight(const Str& text, const Str& set);

// Only 'a'-'z' and 'A'-'Z' change, whatever the locale.
void StrUpperInPlace(Str& s);
void StrLowerInPlace(Str& s);
Str StrUpperCopy(const Str& s);
Str StrLowerCopy(const Str& s);

// Letters and digits stay; other ASCII bytes become "%xx"; bytes of 128 and up are taken as
// Latin-1 and escaped as their two UTF-8 bytes.
Str UrlEscape(const Str& text);
// Undoes escapes and '+', drops malformed escapes, then decodes UTF-8 with Utf8ToLatin1.
Str UrlUnescape(const Str& text);
// Two- and three-byte sequences become one byte; code points above 255 become a space, and
// bytes that start no complete sequence are dropped.
void Utf8ToLatin1(Str& s);

// A character that is not a hexadecimal digit counts with its own code.
uint8_t HexPairToByte(char high, char low);
// A count of 0 or less gives an empty string.
Str BytesToHex(const void* bytes, int32_t count, bool upper);

// 64 binary digits and the terminator.
inline constexpr int kInt64TextSize = 65;
// Only base 10 shows a sign; other bases take the value as unsigned. A base outside 2-36 writes
// base 10. `buffer` must hold kInt64TextSize bytes; it is returned.
char* Int64ToText(int64_t value, char* buffer, int32_t base);

// Units of StrToWide's buffer, terminator included: longer text is cut.
inline constexpr int kWideBufferUnits = 512;
// Converts into one static buffer that the next call overwrites (one thread at a time).
const char16_t* StrToWide(const Str& s);
// Returns the bytes converted; a unit above 255 has no 8-bit form: s becomes "" and the result
// is -1. A null pointer counts as empty text.
int32_t StrAssignWide(Str& s, const char16_t* wide);
// Constructs s from wide text (s holds nothing to release beforehand).
int32_t StrFromWide(Str& s, const char16_t* wide);
