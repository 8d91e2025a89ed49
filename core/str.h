// The runtime's string value: a NUL-terminated byte string with stored length and capacity.
// Every empty string points at the one shared StrEmptyBuffer and owns nothing. Str is a plain
// record (it may be moved with memcpy); its owner calls StrRelease exactly once.
#pragma once

#include <cstdint>
#include <type_traits>

struct Str {
  char* data;
  uint32_t capacity;  // bytes of the owned block, 0 while data is StrEmptyBuffer
  uint32_t length;    // bytes before the terminator, as last stored
};
static_assert(sizeof(Str) == 16 && std::is_standard_layout_v<Str> &&
              std::is_trivially_copyable_v<Str>);

// Shared by every empty string. Writable, because StrGetBuffer(s, 0) on an empty string hands it
// out and a writer may store a terminator there; it must stay all zero.
extern char StrEmptyBuffer[16];

// The largest character count a string may reserve; more is treated as allocation failure.
inline constexpr uint32_t kStrMaxReserve = 0x7FFFFFEF;

void StrInitEmpty(Str& s);
void StrRelease(Str& s);
void StrReserve(Str& s, uint32_t n, bool keep);

void StrFromCString(Str& s, const char* text);
void StrCopyConstruct(Str& s, const Str& src);
void StrFromInt(Str& s, int32_t v);
void StrFromInt64(Str& s, int64_t v);
void NumberToStr(Str& s, double x);
void FloatToStr(Str& s, float x);
void StrHexFromUInt(Str& s, uint32_t v);

void StrAssignCString(Str& s, const char* text);
void StrAssignCStringSwap(Str& s, const char* text);
Str& StrAssign(Str& dst, const Str& src);

void StrAppendChar(Str& s, char c);
void StrAppendCString(Str& s, const char* text);

char* StrGetBuffer(Str& s, uint32_t n);
void StrSyncLength(Str& s);

void StrMid(Str& r, const Str& src, int32_t start, int32_t count);
void StrTruncate(Str& s, int32_t n);
void StrTrimControlRight(Str& s);

int32_t StrLength(const Str& s);
bool StrEquals(const Str& a, const Str& b);
bool StrEqualsCString(const Str& a, const char* text);

// Length of raw text; a null pointer counts as empty text.
uint32_t RawTextLength(const char* text);
