// Substring search forwards and backwards, replacement of every occurrence, and the two
// character-set scanners. Positions are 0-based byte offsets; nothing found gives -1.
#pragma once

#include <cstdint>

#include "core/str.h"

// Offset of the first occurrence of the pattern in the buffer, or -1. Works on explicit lengths,
// so any byte (NUL included) may be searched for; an empty pattern is never found.
int32_t StrFindCore(const char* buffer, uint32_t length, const char* pattern,
                    uint32_t patternLength);

// First occurrence at or after start; a negative start searches from 0. Str operands use their
// stored length, raw text is measured up to its NUL (null counts as empty).
int32_t StrFind(const Str& haystack, const Str& needle, int32_t start = 0);
int32_t StrFind(const Str& haystack, const char* needle, int32_t start = 0);
int32_t StrFind(const char* haystack, const Str& needle, int32_t start = 0);
int32_t StrFind(const char* haystack, const char* needle, int32_t start = 0);

// Last occurrence that starts at or before limit (occurrences may overlap); a negative limit
// means anywhere.
int32_t StrFindReverse(const Str& haystack, const Str& needle, int32_t limit = -1);
int32_t StrFindReverse(const Str& haystack, const char* needle, int32_t limit = -1);
int32_t StrFindReverse(const char* haystack, const Str& needle, int32_t limit = -1);
int32_t StrFindReverse(const char* haystack, const char* needle, int32_t limit = -1);

// Constructs result (its old contents are not released) as text with every occurrence of search
// replaced, and returns it. When search and replacement differ in length the scan resumes
// search length - 1 bytes before the end of each replacement, so a match may form across the
// join ("aabb" without "ab" gives ""); with equal lengths it resumes behind the replacement. An
// empty search changes nothing.
Str& StrReplace(Str& result, const Str& text, const Str& search, const Str& replacement);

// The first character of text that is (or is not) one of the bytes of set, or null. Null text or
// null set count as empty.
const char* CStrFindFirstOf(const char* text, const char* set);
const char* CStrFindFirstNotOf(const char* text, const char* set);
