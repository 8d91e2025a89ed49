// The runtime's quicksort over a range of strings, in place, with the program's own order or
// byte order. The directory listing sorts with it; programs may pass any comparison.
#pragma once

#include "core/dim_array.h"
#include "core/str.h"

// Sorts first..last inclusive. Without a comparison the order is strcmp's (bytes, letter case
// counts). A comparison answers below 0 for "before" and 1 or more for "after", truncated
// toward zero, so 0.5 counts as equal. Equal elements end up in the order the partition steps
// leave them, which programs may rely on; a comparison that contradicts itself never makes the
// sort leave the range.
void StringArraySort(Str* first, Str* last, StrCompareFunction compare);
