// The runtime's string value: a NUL-terminated byte string with stored length and capacity.
// Every empty string points at the one shared StrEmptyBuffer and owns nothing. Str is a plain
// record (it may be moved with memcpy); its owner calls StrRelease exactly once.
#pragma once

#include <cstdint>
#include <cstring>
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

// Length of raw text; a null pointer counts as empty text.
inline uint32_t RawTextLength(const char* text) {
  return text ? static_cast<uint32_t>(std::strlen(text)) : 0;
}

void StrInitEmpty(Str& s);
void StrRelease(Str& s);
void StrReserve(Str& s, uint32_t n, bool keep);
// Room for n characters before an append, keeping the text: the block at least doubles when it
// must move, so a string built by appends costs linear time.
void StrReserveForAppend(Str& s, uint32_t n);

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

// Appends count bytes that fit the block (length + count below the capacity and within
// kStrMaxReserve) in place; false, changing nothing, when they do not.
inline bool StrAppendInPlace(Str& s, const char* bytes, uint32_t count) {
  const uint32_t length = s.length;
  const uint64_t end = uint64_t(length) + count;
  if (end >= s.capacity || end > kStrMaxReserve) return false;
  char* data = s.data;
  std::memmove(data + length, bytes, count);  // the bytes may lie in the block itself
  data[end] = 0;
  s.length = uint32_t(end);
  return true;
}

inline void StrAppendChar(Str& s, char c) {
  if (StrAppendInPlace(s, &c, 1)) return;
  StrReserveForAppend(s, s.length + 1);
  StrAppendInPlace(s, &c, 1);
}

// The slow path of StrAppendCString: text of that length that does not fit.
void StrAppendCStringGrowing(Str& s, const char* text, uint32_t length);
inline void StrAppendCString(Str& s, const char* text) {
  const uint32_t length = RawTextLength(text);
  if (length > 0 && !StrAppendInPlace(s, text, length)) StrAppendCStringGrowing(s, text, length);
}

char* StrGetBuffer(Str& s, uint32_t n);
void StrSyncLength(Str& s);

void StrMid(Str& r, const Str& src, int32_t start, int32_t count);
void StrTruncate(Str& s, int32_t n);
void StrTrimControlRight(Str& s);

int32_t StrLength(const Str& s);
bool StrEquals(const Str& a, const Str& b);
bool StrEqualsCString(const Str& a, const char* text);


