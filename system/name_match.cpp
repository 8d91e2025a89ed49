// Wildcard match and case-insensitive compare of names.
#include "system/name_match.h"

#include <cstring>

namespace {

unsigned char FoldLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a')
                              : static_cast<unsigned char>(c);
}

bool MatchesOne(char patternChar, char nameChar) {
  if (patternChar == '?') return nameChar != '.';
  return FoldLower(patternChar) == FoldLower(nameChar);
}

}  // namespace

bool WildcardMatch(const char* pattern, const char* name) {
  pattern = pattern ? pattern : "";
  name = name ? name : "";
  if (std::strcmp(pattern, "*.*") == 0) return true;
  // On a failing character the match goes back to the last '*' and lets it take one more.
  const char* afterStar = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (*pattern == '*') {
      while (*pattern == '*') ++pattern;
      if (!*pattern) return true;
      afterStar = pattern;
      starName = name;
    } else if (*pattern && MatchesOne(*pattern, *name)) {
      ++pattern;
      ++name;
    } else if (afterStar) {
      pattern = afterStar;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return !*pattern;
}

int32_t CStrCompareNoCase(const char* a, const char* b) {
  a = a ? a : "";
  b = b ? b : "";
  for (;; ++a, ++b) {
    const int32_t difference = int32_t(FoldLower(*a)) - int32_t(FoldLower(*b));
    if (difference != 0 || !*a) return difference;
  }
}

double CompareNoCase(const Str& a, const Str& b) {
  return CStrCompareNoCase(a.data, b.data);
}

double CompareNoCase(const Str* a, const Str* b) {
  return CompareNoCase(*a, *b);
}
