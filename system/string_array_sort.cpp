// Hoare quicksort with the last element as pivot. The partition steps fix the order of ties,
// so they stay exactly as they are; only the order in which parts are sorted changes: the
// smaller part recurses and the larger loops, so the stack never holds more than log2(n) frames.
#include "system/string_array_sort.h"

#include <cstddef>
#include <cstring>

#include "core/str_value.h"
#include "system/name_match.h"

namespace {

using Index = std::ptrdiff_t;

// Negative, 0 or positive; built-in orders compare the texts up to their first NUL.
int32_t Compare(const Str& a, const Str& b, StrCompareFunction compare) {
  if (compare) return CompareCallTrunc(&a, &b, compare);
  const int difference = std::strcmp(a.data, b.data);
  return difference < 0 ? -1 : difference > 0 ? 1 : 0;
}

// strcmp and CompareNoCase are total orders, so a strictly increasing range is sorted, and the
// partition steps would leave it exactly as it is (each pass swaps the last element with
// itself). A program's comparison need not be transitive, so it never takes this shortcut.
bool StrictlyIncreasing(const Str* range, Index count, StrCompareFunction compare) {
  if (compare && compare != static_cast<StrCompareFunction>(CompareNoCase)) return false;
  for (Index k = 1; k < count; ++k) {
    if (Compare(range[k - 1], range[k], compare) >= 0) return false;
  }
  return true;
}

struct Split {
  Index lowEnd;     // the lower part is [first, lowEnd]
  Index highStart;  // the upper part is [highStart, last]
};

// One Hoare pass. The bounds only matter to a comparison that contradicts itself: with a
// consistent one, the pivot's own copy stops both scans inside the range.
Split Partition(Str* range, Index first, Index last, StrCompareFunction compare) {
  const StrValue pivot(range[last]);
  Index i = first;
  Index j = last;
  while (i <= j) {
    while (i < last && Compare(range[i], pivot, compare) < 0) ++i;
    while (j > first && Compare(range[j], pivot, compare) > 0) --j;
    if (i <= j) {
      StrSwapContents(&range[i], &range[j]);
      ++i;
      --j;
    }
  }
  return {j, i};
}

void SortRange(Str* range, Index first, Index last, StrCompareFunction compare) {
  while (first < last) {
    if (StrictlyIncreasing(range + first, last - first + 1, compare)) return;
    const Split split = Partition(range, first, last, compare);
    const bool lowerIsSmaller = split.lowEnd - first < last - split.highStart;
    if (lowerIsSmaller) {
      if (first < split.lowEnd) SortRange(range, first, split.lowEnd, compare);
      first = split.highStart;
    } else {
      if (split.highStart < last) SortRange(range, split.highStart, last, compare);
      last = split.lowEnd;
    }
  }
}

}  // namespace

void StringArraySort(Str* first, Str* last, StrCompareFunction compare) {
  if (!first || !last || last <= first) return;
  SortRange(first, 0, last - first, compare);
}
