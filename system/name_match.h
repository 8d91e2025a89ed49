// File-name matching shared by the file commands and the directory listing: the wildcard match
// of file patterns and the case-insensitive order of names. Case folds to lower ASCII only, so
// "_a" sorts before "B" (0x5F < 0x62), as the runtime's listings always have.
#pragma once

#include <cstdint>

#include "core/str.h"

// '*' matches any run of characters (also none), '?' any one character but '.', anything else
// itself without regard to ASCII case; "*.*" matches every name. Null counts as empty text.
bool WildcardMatch(const char* pattern, const char* name);

// Negative, 0 or positive as a comes before, with or after b, bytes folded to lower case.
int32_t CStrCompareNoCase(const char* a, const char* b);

// The program's command, and the same order in the form the string-array sort takes.
double CompareNoCase(const Str& a, const Str& b);
double CompareNoCase(const Str* a, const Str* b);
