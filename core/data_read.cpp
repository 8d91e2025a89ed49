// RESTORE and the three READ conversions.
#include "core/data_read.h"

#include "core/number_text.h"
#include "core/terminate.h"
#include "core/text_to_number.h"

namespace {

DataBlock* gCurrent = nullptr;

// The item READ takes now; the list running out ends the program before any target is written.
const DataItem& NextItem() {
  if (!gCurrent || gCurrent->index < 0 || gCurrent->index >= gCurrent->count) FatalTerminate(20);
  return gCurrent->items[gCurrent->index];
}

void Advance() { ++gCurrent->index; }

}  // namespace

DataBlock* RestoreData(DataBlock* block) {
  if (block) block->index = 0;
  gCurrent = block;
  return block;
}

void ReadDataInt(int32_t* target) {
  const DataItem& item = NextItem();
  *target = item.text ? CStrToInt(item.text) : TruncToI32(item.number);
  Advance();
}

void ReadDataNumber(double* target) {
  const DataItem& item = NextItem();
  *target = item.text ? CStrToNumber(item.text) : item.number;
  Advance();
}

void ReadDataString(Str* target) {
  const DataItem& item = NextItem();
  if (item.text) {
    StrAssignCString(*target, item.text);
  } else {
    Str text;
    NumberToStr(text, item.number);
    StrAssign(*target, text);
    StrRelease(text);
  }
  Advance();
}

void ResetDataForTests() { gCurrent = nullptr; }
