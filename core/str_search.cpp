// Boyer-Moore-Horspool search and the operations built on it.
#include "core/str_search.h"

#include <cstring>

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

int32_t FindLastUpTo(Text haystack, Text needle, int32_t limit) {
  if (limit < 0) {
    const int64_t last = int64_t(haystack.length) - needle.length;
    if (last < 0) return -1;
    limit = int32_t(last);
  }
  int32_t best = -1;
  for (int32_t p = FindFrom(haystack, needle, 0); p >= 0 && p <= limit;
       p = FindFrom(haystack, needle, p + 1)) {
    best = p;
  }
  return best;
}

// Replaces `cut` bytes at `at` with the replacement by building a new text.
void Splice(Str& s, uint32_t at, uint32_t cut, const Str& replacement) {
  const uint32_t tail = s.length - at - cut;
  const uint64_t length = uint64_t(at) + replacement.length + tail;
  Str rebuilt;
  StrInitEmpty(rebuilt);
  if (length > 0) {
    if (length > kStrMaxReserve) FatalTerminate(7);
    StrReserve(rebuilt, uint32_t(length), false);
    std::memcpy(rebuilt.data, s.data, at);
    std::memcpy(rebuilt.data + at, replacement.data, replacement.length);
    std::memcpy(rebuilt.data + at + replacement.length, s.data + at + cut, tail);
    rebuilt.data[length] = 0;
    rebuilt.length = uint32_t(length);
  }
  StrRelease(s);
  s = rebuilt;
}

}  // namespace

int32_t StrFindCore(const char* buffer, uint32_t length, const char* pattern,
                    uint32_t patternLength) {
  const uint32_t m = patternLength;
  if (m == 0 || buffer == nullptr || pattern == nullptr || length < m) return -1;
  if (length == m) return std::memcmp(buffer, pattern, m) == 0 ? 0 : -1;

  const auto* text = reinterpret_cast<const unsigned char*>(buffer);
  const auto* pat = reinterpret_cast<const unsigned char*>(pattern);
  uint32_t skip[256];
  for (uint32_t& entry : skip) entry = m;
  for (uint32_t i = 0; i + 1 < m; ++i) skip[pat[i]] = m - 1 - i;

  const unsigned char last = pat[m - 1];
  for (uint32_t at = 0; length - at >= m; at += skip[text[at + m - 1]]) {
    if (text[at + m - 1] == last && std::memcmp(text + at, pat, m - 1) == 0) return int32_t(at);
  }
  return -1;
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

void StrReplace(Str& result, const Str& text, const Str& search, const Str& replacement) {
  StrCopyConstruct(result, text);
  const uint32_t cut = search.length;
  const uint32_t put = replacement.length;
  uint32_t pos = 0;
  while (pos < result.length) {
    const int32_t found = StrFindCore(result.data + pos, result.length - pos, search.data, cut);
    if (found < 0) return;
    const uint32_t at = pos + uint32_t(found);
    if (cut == put) {
      std::memcpy(result.data + at, replacement.data, put);
      pos = at + put;
      continue;
    }
    Splice(result, at, cut, replacement);
    const int64_t resume = int64_t(at) + put - cut + 1;
    pos = resume < 0 ? 0 : uint32_t(resume);
  }
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
