// DATA lists and READ: the build lays each constant list down as a block of items; RESTORE picks
// the current block and READ takes its items one by one into integer, number or string variables.
// Reading past the end of the list ends the program (error 20).
#pragma once

#include <cstdint>

#include "core/str.h"

// A number item has a null text.
struct DataItem {
  double number;
  const char* text;
};

struct DataBlock {
  const DataItem* items;
  int32_t count;
  int32_t index;  // the next item to read
};

// Starts the block again at its first item and makes it the current block; returns it.
DataBlock* RestoreData(DataBlock* block);

// Each reads the next item of the current block, converted to the target's kind.
void ReadDataInt(int32_t* target);
void ReadDataNumber(double* target);
void ReadDataString(Str* target);

void ResetDataForTests();
