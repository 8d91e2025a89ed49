// SplitString over the character-set scanners, with its two process-wide work strings.
#include "core/str_split.h"

#include <cstring>

#include "core/str_search.h"

namespace {

// Kept for the whole process: exit-time code may still split.
Str gSplitText = {StrEmptyBuffer, 0, 0};
Str gSplitPiece = {StrEmptyBuffer, 0, 0};

void AppendPiece(DimArray& array, const char* start, uint32_t length) {
  StrReserve(gSplitPiece, length + 1, true);
  std::memcpy(gSplitPiece.data, start, length);
  gSplitPiece.data[length] = 0;
  gSplitPiece.length = length;
  ArrayPushString(array, gSplitPiece);
}

}  // namespace

int32_t SplitString(const Str& text, DimArray& array, const Str& delimiters, bool dropEmpty) {
  // Scanning runs on copies, so the text and the delimiters may be elements of the array that
  // the pieces overwrite.
  StrAssign(gSplitText, text);
  Str set;
  StrCopyConstruct(set, delimiters);
  ArrayRedimString(array, 0, 0, 0, 0);
  const char* pos = gSplitText.data;
  const char* const end = pos + gSplitText.length;
  while (pos < end) {
    if (dropEmpty) {
      if (const char* first = CStrFindFirstNotOf(pos, set.data)) pos = first;
    }
    const char* delimiter = CStrFindFirstOf(pos, set.data);
    if (!delimiter) {
      if (*pos) AppendPiece(array, pos, uint32_t(std::strlen(pos)));
      break;
    }
    if (delimiter > pos || !dropEmpty) AppendPiece(array, pos, uint32_t(delimiter - pos));
    pos = delimiter + 1;
  }
  StrRelease(set);
  return ArrayDimSize(array, 0);
}

void SplitTextStrRelease() { StrRelease(gSplitText); }
void SplitPieceStrRelease() { StrRelease(gSplitPiece); }
