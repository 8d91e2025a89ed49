// Substring search (the C library's byte scans) and the operations built on it.
#include "core/str_search.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/allocation_failure.h"
#include "core/terminate.h"

namespace {

struct Text {
  const char* data;
  uint32_t length;
};

Text AsText(const Str& s) { return {s.data, s.length}; }
Text AsText(const char* raw) { return {raw, RawTextLength(raw)}; }

int32_t FindFrom(Text haystack, Text needle, int32_t start) {
  if (start < 0) start = 0;
  if (uint32_t(start) >= haystack.length) return -1;
  const int32_t found = StrFindCore(haystack.data + start, haystack.length - uint32_t(start),
                                    needle.data, needle.length);
  return found < 0 ? -1 : found + start;
}

// Walks back from the last start allowed, looking for the pattern's first byte.
int32_t FindLastUpTo(Text haystack, Text needle, int32_t limit) {
  const uint32_t m = needle.length;
  if (m == 0 || haystack.length < m) return -1;
  uint32_t last = haystack.length - m;
  if (limit >= 0 && uint32_t(limit) < last) last = uint32_t(limit);
  const char first = needle.data[0];
  size_t span = size_t(last) + 1;
  while (span > 0) {
    const void* hit = memrchr(haystack.data, first, span);
    if (!hit) return -1;
    const uint32_t at = uint32_t(static_cast<const char*>(hit) - haystack.data);
    if (std::memcmp(haystack.data + at + 1, needle.data + 1, m - 1) == 0) return int32_t(at);
    span = at;
  }
  return -1;
}

// Same lengths: the replacement overwrites each match and the scan goes on behind it.
void ReplaceInPlace(Str& s, const Str& search, const Str& replacement) {
  uint32_t pos = 0;
  while (pos < s.length) {
    const int32_t found = StrFindCore(s.data + pos, s.length - pos, search.data, search.length);
    if (found < 0) return;
    const uint32_t at = pos + uint32_t(found);
    std::memcpy(s.data + at, replacement.data, replacement.length);
    pos = at + replacement.length;
  }
}

void AppendBytes(Str& out, const char* bytes, uint32_t count) {
  if (count == 0 || StrAppendInPlace(out, bytes, count)) return;
  StrReserveForAppend(out, uint32_t(std::min<uint64_t>(uint64_t(out.length) + count, UINT32_MAX)));
  StrAppendInPlace(out, bytes, count);
}

void DropLastBytes(Str& out, uint32_t count) {
  out.length -= count;
  out.data[out.length] = 0;
}

// Different lengths: the text is conceptually rebuilt at every match and the scan resumes
// search length - 1 bytes before the end of the replacement (never before the start), so a
// match may begin in text already written and end in text not yet read. One pass builds the
// same text without the rebuilds, in the result's own block: `out` holds what is written, the input is read from `next`.
void ReplaceResizing(Str& out, const Str& text, const Str& search, const Str& replacement) {
  const char* in = text.data;
  const uint32_t n = text.length;
  const uint32_t cut = search.length;
  std::string window;
  StrReserve(out, n, false);
  uint32_t next = 0;
  while (next < n) {
    const uint32_t back = std::min(out.length, cut - 1);
    if (back > 0) {
      window.assign(out.data + out.length - back, back);
      window.append(in + next, std::min(cut - 1, n - next));
      const int32_t w = StrFindCore(window.data(), uint32_t(window.size()), search.data, cut);
      if (w >= 0 && uint32_t(w) < back) {
        DropLastBytes(out, back - uint32_t(w));
        next += cut - (back - uint32_t(w));
        AppendBytes(out, replacement.data, replacement.length);
        continue;
      }
    }
    const int32_t found = StrFindCore(in + next, n - next, search.data, cut);
    if (found < 0) break;
    AppendBytes(out, in + next, uint32_t(found));
    next += uint32_t(found) + cut;
    AppendBytes(out, replacement.data, replacement.length);
  }
  AppendBytes(out, in + next, n - next);
  if (out.length == 0) StrRelease(out);
}

}  // namespace

int32_t StrFindCore(const char* buffer, uint32_t length, const char* pattern,
                    uint32_t patternLength) {
  const uint32_t m = patternLength;
  if (m == 0 || buffer == nullptr || pattern == nullptr || length < m) return -1;
  const void* found = m == 1 ? std::memchr(buffer, pattern[0], length)
                             : memmem(buffer, length, pattern, m);
  return found ? int32_t(static_cast<const char*>(found) - buffer) : -1;
}

int32_t StrFind(const Str& haystack, const Str& needle, int32_t start) {
  return FindFrom(AsText(haystack), AsText(needle), start);
}
int32_t StrFind(const Str& haystack, const char* needle, int32_t start) {
  return FindFrom(AsText(haystack), AsText(needle), start);
}
int32_t StrFind(const char* haystack, const Str& needle, int32_t start) {
  return FindFrom(AsText(haystack), AsText(needle), start);
}
int32_t StrFind(const char* haystack, const char* needle, int32_t start) {
  return FindFrom(AsText(haystack), AsText(needle), start);
}

int32_t StrFindReverse(const Str& haystack, const Str& needle, int32_t limit) {
  return FindLastUpTo(AsText(haystack), AsText(needle), limit);
}
int32_t StrFindReverse(const Str& haystack, const char* needle, int32_t limit) {
  return FindLastUpTo(AsText(haystack), AsText(needle), limit);
}
int32_t StrFindReverse(const char* haystack, const Str& needle, int32_t limit) {
  return FindLastUpTo(AsText(haystack), AsText(needle), limit);
}
int32_t StrFindReverse(const char* haystack, const char* needle, int32_t limit) {
  return FindLastUpTo(AsText(haystack), AsText(needle), limit);
}

Str& StrReplace(Str& result, const Str& text, const Str& search, const Str& replacement) {
  if (search.length == replacement.length || search.length == 0) {
    StrCopyConstruct(result, text);
    ReplaceInPlace(result, search, replacement);
    return result;
  }
  StrInitEmpty(result);
  FatalOnAllocationFailure([&] { ReplaceResizing(result, text, search, replacement); });
  return result;
}

const char* CStrFindFirstOf(const char* text, const char* set) {
  if (text == nullptr || set == nullptr) return nullptr;
  for (const char* p = text; *p; ++p) {
    if (std::strchr(set, *p)) return p;
  }
  return nullptr;
}

const char* CStrFindFirstNotOf(const char* text, const char* set) {
  if (text == nullptr || *text == 0) return nullptr;
  if (set == nullptr) return text;
  for (const char* p = text; *p; ++p) {
    if (!std::strchr(set, *p)) return p;
  }
  return nullptr;
}
