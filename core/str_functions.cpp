// Text functions of the language on Str values and 8-bit characters.
#include "core/str_functions.h"

#include <cstring>
#include <string>

#include "core/terminate.h"

namespace {

// Room for n characters decided in one step, so long inputs never regrow the block per append.
// A size beyond what a string may hold is the usual allocation failure.
void ReserveFor(Str& s, uint64_t n) {
  if (n > kStrMaxReserve) FatalTerminate(7);
  StrReserve(s, uint32_t(n), true);
}

bool InSet(const Str& set, char c) {
  return set.length > 0 && std::memchr(set.data, c, set.length) != nullptr;
}

Str Slice(const Str& text, uint32_t start, uint32_t count) {
  Str r;
  if (count == text.length) {
    StrCopyConstruct(r, text);
  } else {
    StrMid(r, text, int32_t(start), int32_t(count));
  }
  return r;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool IsAlphaNumeric(uint8_t b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

size_t EscapedSize(uint8_t b) {
  if (IsAlphaNumeric(b)) return 1;
  return b < 128 ? 3 : 6;
}

void AppendPercentByte(Str& out, uint8_t b) {
  StrAppendChar(out, '%');
  StrAppendChar(out, "0123456789abcdef"[b >> 4]);
  StrAppendChar(out, "0123456789abcdef"[b & 15]);
}

// Bytes of 128 and up are Latin-1 code points, sent as their two-byte UTF-8 form.
void AppendEscaped(Str& out, uint8_t b) {
  if (b < 128) {
    AppendPercentByte(out, b);
    return;
  }
  AppendPercentByte(out, b < 192 ? 0xC2 : 0xC3);
  AppendPercentByte(out, uint8_t((b & 0x3F) + 0x80));
}

// The byte at i, or the terminator past the stored length.
char ByteOrEnd(const Str& s, uint32_t i) {
  return i < s.length ? s.data[i] : 0;
}

// The code point of the UTF-8 sequence at p and its size; size 0 when no complete two- or
// three-byte sequence starts there.
struct Utf8Sequence {
  uint32_t code;
  uint32_t size;
};

Utf8Sequence DecodeSequence(const uint8_t* p, uint32_t remaining) {
  if ((p[0] & 0xE0) == 0xC0 && remaining >= 2) {
    return {uint32_t(p[0] & 0x1F) << 6 | (p[1] & 0x3F), 2};
  }
  if ((p[0] & 0xF0) == 0xE0 && remaining >= 3) {
    return {uint32_t(p[0] & 0x0F) << 12 | uint32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F), 3};
  }
  return {0, 0};
}

}  // namespace

Str StrTrimLeft(const Str& text, const Str& set) {
  uint32_t count = 0;
  while (count < text.length && InSet(set, text.data[count])) ++count;
  return Slice(text, count, text.length - count);
}

Str StrTrimRight(const Str& text, const Str& set) {
  uint32_t kept = text.length;
  while (kept > 0 && InSet(set, text.data[kept - 1])) --kept;
  return Slice(text, 0, kept);
}

void StrUpperInPlace(Str& s) {
  for (uint32_t i = 0; i < s.length; ++i) s.data[i] = AsciiUpper(s.data[i]);
}

void StrLowerInPlace(Str& s) {
  for (uint32_t i = 0; i < s.length; ++i) s.data[i] = AsciiLower(s.data[i]);
}

Str StrUpperCopy(const Str& s) {
  Str r;
  StrCopyConstruct(r, s);
  StrUpperInPlace(r);
  return r;
}

Str StrLowerCopy(const Str& s) {
  Str r;
  StrCopyConstruct(r, s);
  StrLowerInPlace(r);
  return r;
}

Str UrlEscape(const Str& text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data);
  uint64_t size = 0;
  for (uint32_t i = 0; i < text.length; ++i) size += EscapedSize(bytes[i]);
  Str out = StrNewEmpty();
  ReserveFor(out, size);
  for (uint32_t i = 0; i < text.length; ++i) {
    if (IsAlphaNumeric(bytes[i])) {
      StrAppendChar(out, char(bytes[i]));
    } else {
      AppendEscaped(out, bytes[i]);
    }
  }
  return out;
}

Str UrlUnescape(const Str& text) {
  Str out = StrNewEmpty();
  ReserveFor(out, text.length);
  uint32_t i = 0;
  while (i < text.length) {
    const char c = text.data[i];
    if (c != '%') {
      StrAppendChar(out, c == '+' ? ' ' : c);
      ++i;
      continue;
    }
    const char high = ByteOrEnd(text, i + 1);
    const char low = ByteOrEnd(text, i + 2);
    if (HexDigitValue(high) >= 0 && HexDigitValue(low) >= 0) {
      StrAppendChar(out, char(HexPairToByte(high, low)));
      i += 3;
    } else {
      // A malformed escape loses the '%' and the byte after it; a digit after a lone digit
      // still counts, so scanning resumes right after the first.
      i += 2;
    }
  }
  Utf8ToLatin1(out);
  return out;
}

void Utf8ToLatin1(Str& s) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data);
  Str out = StrNewEmpty();
  ReserveFor(out, s.length);
  uint32_t i = 0;
  while (i < s.length) {
    if (bytes[i] < 128) {
      StrAppendChar(out, char(bytes[i++]));
      continue;
    }
    const Utf8Sequence seq = DecodeSequence(bytes + i, s.length - i);
    if (seq.size == 0) {
      ++i;
      continue;
    }
    StrAppendChar(out, seq.code < 256 ? char(seq.code) : ' ');
    i += seq.size;
  }
  StrAssign(s, out);
  StrRelease(out);
}

uint8_t HexPairToByte(char high, char low) {
  const int h = HexDigitValue(high);
  const int l = HexDigitValue(low);
  return uint8_t((h < 0 ? uint8_t(high) : h) * 16 + (l < 0 ? uint8_t(low) : l));
}

Str BytesToHex(const void* bytes, int32_t count, bool upper) {
  Str out = StrNewEmpty();
  if (count <= 0) return out;
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  ReserveFor(out, 2 * uint64_t(count));
  const auto* in = static_cast<const uint8_t*>(bytes);
  for (size_t i = 0; i < size_t(count); ++i) {
    out.data[2 * i] = digits[in[i] >> 4];
    out.data[2 * i + 1] = digits[in[i] & 15];
  }
  out.length = 2 * uint32_t(count);
  out.data[out.length] = 0;
  return out;
}

char* Int64ToText(int64_t value, char* buffer, int32_t base) {
  if (base < 2 || base > 36) base = 10;
  const bool negative = base == 10 && value < 0;
  uint64_t rest = negative ? 0 - uint64_t(value) : uint64_t(value);
  char digits[kInt64TextSize];
  int count = 0;
  do {
    const int digit = int(rest % uint64_t(base));
    digits[count++] = char(digit < 10 ? '0' + digit : 'a' + digit - 10);
    rest /= uint64_t(base);
  } while (rest != 0);
  char* out = buffer;
  if (negative) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = 0;
  return buffer;
}

const char16_t* StrToWide(const Str& s) {
  static char16_t wide[kWideBufferUnits];
  uint32_t n = 0;
  while (n < s.length && n < kWideBufferUnits - 1 && s.data[n] != 0) {
    wide[n] = char16_t(uint8_t(s.data[n]));
    ++n;
  }
  wide[n] = 0;
  return wide;
}

int32_t StrAssignWide(Str& s, const char16_t* wide) {
  const size_t n = wide ? std::char_traits<char16_t>::length(wide) : 0;
  for (size_t i = 0; i < n; ++i) {
    if (wide[i] > 255) {
      StrTruncate(s, 0);
      return -1;
    }
  }
  if (n > kStrMaxReserve) FatalTerminate(7);
  if (n == 0) {
    StrTruncate(s, 0);
    return 0;
  }
  StrReserve(s, uint32_t(n), false);
  for (size_t i = 0; i < n; ++i) s.data[i] = char(wide[i]);
  s.data[n] = 0;
  s.length = uint32_t(n);
  return int32_t(n);
}

int32_t StrFromWide(Str& s, const char16_t* wide) {
  StrInitEmpty(s);
  return StrAssignWide(s, wide);
}
