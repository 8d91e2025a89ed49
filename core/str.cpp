// The string record: construction, growth, assignment, appends and substrings.
#include "core/str.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/number_text.h"
#include "core/terminate.h"

char StrEmptyBuffer[16] = {};

namespace {

bool OwnsBlock(const Str& s) { return s.data != StrEmptyBuffer && s.data != nullptr; }

void FreeBlock(Str& s) {
  if (OwnsBlock(s)) std::free(s.data);
}

char* AllocateBlock(uint64_t size) {
  char* block = static_cast<char*>(std::malloc(size));
  if (!block) FatalTerminate(7);
  return block;
}

// A block grown for appends keeps its text: the allocator extends it in place or remaps it
// where it can, which spares the copy and the first touches of a fresh block.
char* RegrowBlock(char* block, uint64_t size) {
  char* grown = static_cast<char*>(std::realloc(block, size));
  if (!grown) FatalTerminate(7);
  return grown;
}

bool InsideBlock(const Str& s, const char* p) {
  return OwnsBlock(s) && p >= s.data && p < s.data + s.capacity;
}

// Text that may lie inside the string's own block is copied out before the block moves.
struct DetachedText {
  const char* text;
  uint32_t length;
  char* copy = nullptr;
  DetachedText(const Str& owner, const char* raw) : text(raw), length(RawTextLength(raw)) {
    if (length > 0 && InsideBlock(owner, raw)) {
      copy = AllocateBlock(length);
      std::memcpy(copy, raw, length);
      text = copy;
    }
  }
  ~DetachedText() { std::free(copy); }
  DetachedText(const DetachedText&) = delete;
  DetachedText& operator=(const DetachedText&) = delete;
};

}  // namespace

void StrInitEmpty(Str& s) {
  s.data = StrEmptyBuffer;
  s.capacity = 0;
  s.length = 0;
}

void StrRelease(Str& s) {
  FreeBlock(s);
  StrInitEmpty(s);
}

void StrReserve(Str& s, uint32_t n, bool keep) {
  if (n == 0 || s.capacity >= uint64_t(n) + 1) return;
  if (n > kStrMaxReserve) FatalTerminate(7);
  const uint64_t capacity = ((uint64_t(n) + 1) & ~uint64_t(15)) + 16;
  if (keep && s.length > 0 && OwnsBlock(s)) {
    s.data = RegrowBlock(s.data, capacity);
    s.data[s.length] = 0;
    s.capacity = static_cast<uint32_t>(capacity);
    return;
  }
  char* block = AllocateBlock(capacity);
  if (keep && s.length > 0) {
    std::memcpy(block, s.data, s.length);
    block[s.length] = 0;
  } else {
    std::memset(block, 0, 4);
  }
  FreeBlock(s);
  s.data = block;
  s.capacity = static_cast<uint32_t>(capacity);
}

void StrReserveForAppend(Str& s, uint32_t n) {
  if (s.capacity >= uint64_t(n) + 1) return;
  const uint64_t doubled = uint64_t(s.capacity) * 2;
  StrReserve(s, n > kStrMaxReserve ? n : uint32_t(std::clamp<uint64_t>(doubled, n, kStrMaxReserve)),
             true);
}

void StrFromCString(Str& s, const char* text) {
  StrInitEmpty(s);
  const uint32_t len = RawTextLength(text);
  if (len == 0) return;
  StrReserve(s, len, false);
  std::memcpy(s.data, text, len);
  s.data[len] = 0;
  s.length = len;
}

void StrCopyConstruct(Str& s, const Str& src) {
  StrInitEmpty(s);
  if (src.length == 0) return;
  StrReserve(s, src.length, false);
  std::memcpy(s.data, src.data, src.length);
  s.data[src.length] = 0;
  s.length = src.length;
}

void StrFromInt(Str& s, int32_t v) {
  StrInitEmpty(s);
  StrReserve(s, 15, false);
  std::snprintf(s.data, s.capacity, "%d", v);
  StrSyncLength(s);
}

void StrFromInt64(Str& s, int64_t v) {
  StrInitEmpty(s);
  StrReserve(s, 63, false);
  uint64_t magnitude = v < 0 ? 0 - uint64_t(v) : uint64_t(v);
  char digits[24];
  int count = 0;
  do {
    digits[count++] = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  char* out = s.data;
  if (v < 0) *out++ = '-';
  while (count > 0) *out++ = digits[--count];
  *out = 0;
  StrSyncLength(s);
}

void NumberToStr(Str& s, double x) {
  StrInitEmpty(s);
  StrReserve(s, 63, false);
  FormatNumberText(x, s.data);
  StrSyncLength(s);
}

void FloatToStr(Str& s, float x) { NumberToStr(s, double(x)); }

void StrHexFromUInt(Str& s, uint32_t v) {
  StrInitEmpty(s);
  StrReserve(s, 16, true);
  const int written = std::snprintf(s.data, s.capacity, "%x", v);
  s.length = uint32_t(written);
}

void StrAssignCString(Str& s, const char* text) {
  const uint32_t len = RawTextLength(text);
  if (len == 0) {
    StrRelease(s);
    return;
  }
  char* block = AllocateBlock(uint64_t(len) + 1);
  std::memcpy(block, text, len);
  block[len] = 0;
  FreeBlock(s);
  s.data = block;
  s.capacity = len + 1;
  s.length = len;
}

void StrAssignCStringSwap(Str& s, const char* text) {
  Str fresh;
  StrFromCString(fresh, text);
  Str old = s;
  s = fresh;
  StrRelease(old);
}

Str& StrAssign(Str& dst, const Str& src) {
  if (dst.data == src.data) return dst;
  if (src.length == 0) {
    if (OwnsBlock(dst)) dst.data[0] = 0;
    dst.length = 0;
    return dst;
  }
  StrReserve(dst, src.length, false);
  std::memcpy(dst.data, src.data, uint64_t(src.length) + 1);
  dst.length = src.length;
  return dst;
}

void StrAppendCStringGrowing(Str& s, const char* text, uint32_t length) {
  if (uint64_t(s.length) + length > kStrMaxReserve) FatalTerminate(7);
  // Text from the string's own block is copied out before the block moves.
  DetachedText piece(s, text);
  StrReserveForAppend(s, s.length + length);
  StrAppendInPlace(s, piece.text, length);
}

char* StrGetBuffer(Str& s, uint32_t n) {
  StrReserve(s, n, true);
  return s.data;
}

void StrSyncLength(Str& s) {
  if (s.capacity == 0 || s.data == nullptr) {
    s.length = 0;
    return;
  }
  const void* nul = std::memchr(s.data, 0, s.capacity);
  if (nul) {
    s.length = uint32_t(static_cast<const char*>(nul) - s.data);
    return;
  }
  s.data[s.capacity - 1] = 0;
  s.length = s.capacity - 1;
}

void StrMid(Str& r, const Str& src, int32_t start, int32_t count) {
  StrInitEmpty(r);
  const int64_t length = src.length;
  int64_t take = count < 0 ? length : count;
  if (int64_t(start) + take > length) take = length - start;
  if (start < 0 || start >= length || take < 1) return;
  StrReserve(r, uint32_t(take + 1), true);
  std::memcpy(r.data, src.data + start, size_t(take));
  r.length = uint32_t(take);
  r.data[r.length] = 0;
}

void StrTruncate(Str& s, int32_t n) {
  if (n < 0 || uint32_t(n) >= s.length) return;
  s.data[n] = 0;
  s.length = uint32_t(n);
}

void StrTrimControlRight(Str& s) {
  while (s.length > 0 && static_cast<unsigned char>(s.data[s.length - 1]) <= 31) {
    s.data[--s.length] = 0;
  }
}

int32_t StrLength(const Str& s) { return int32_t(RawTextLength(s.data)); }

bool StrEquals(const Str& a, const Str& b) {
  if (a.length != b.length) return false;
  return a.length == 0 || std::memcmp(a.data, b.data, a.length) == 0;
}

bool StrEqualsCString(const Str& a, const char* text) {
  const uint32_t len = RawTextLength(text);
  if (a.length != len) return false;
  return len == 0 || std::memcmp(a.data, text, len) == 0;
}
