// The language's array object: one layout for integer, number, byte and string elements, up to
// four dimensions, sized at run time (DIM), resized keeping contents (REDIM) and grown by one
// (DIMPUSH). Every operation belongs to one element kind; the kind is never stored. A failed index
// check reports to the debugger and standard error and ends the program with error 9.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/str.h"

// Element (i0, i1, i2, i3) sits at i0 + i1 * stride1 + i2 * stride2 + i3 * stride3 of the block;
// the first index varies fastest. A zero-filled record is a valid empty array without a block.
struct DimArray {
  void* data;
  int32_t stride1;  // = size0
  int32_t stride2;  // = size0 * size1
  int32_t stride3;  // = size0 * size1 * size2
  int32_t size0, size1, size2, size3;  // 0 = dimension not used
  int32_t count;     // elements in use
  int32_t dims;      // dimensions in use, 0..4
  int32_t capacity;  // elements the block holds
};
static_assert(sizeof(DimArray) == 48 && std::is_standard_layout_v<DimArray>);

// The largest element count an array may have; larger sizes (and a negative second to fourth
// size) end the program with error 7, as an allocation failure does.
inline constexpr int32_t kArrayMaxCount = INT32_MAX - 64;

// DIM: contents not kept, every element zero (string: ""). A first size below 1 makes an empty
// array with a fresh block. The block is kept when it is large enough.
void ArrayDimInt(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayDimNumber(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayDimByte(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayDimString(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
// Capacity exactly the element count (sprite pixel arrays, start-up tables).
void ArrayDimIntExact(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayDimNumberExact(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);

// REDIM: every element keeps its indexes; a first size below 1 empties the array in place
// (block and capacity stay).
void ArrayRedimInt(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayRedimNumber(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);
void ArrayRedimString(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3);

// DIMPUSH onto a one-dimensional array (error 8 otherwise). The block grows geometrically.
// The value may be an element of the same array.
void ArrayPushNumber(DimArray& a, double value);
void ArrayPushString(DimArray& a, const Str& value);

// Checked element access; a negative first index counts from the end. An index of an unused
// dimension must be 0. Failure reports three times and ends the program with error 9.
int32_t* ArrayElementAt(DimArray& a, int32_t i0, int32_t i1 = 0, int32_t i2 = 0, int32_t i3 = 0);
double* ArrayNumberAt(DimArray& a, int32_t i0, int32_t i1 = 0, int32_t i2 = 0, int32_t i3 = 0);
uint8_t* ArrayByteAt(DimArray& a, int32_t i0, int32_t i1 = 0, int32_t i2 = 0, int32_t i3 = 0);
Str* ArrayStringAt(DimArray& a, int32_t i0, int32_t i1 = 0, int32_t i2 = 0, int32_t i3 = 0);

// size0..size3 for k = 0..3, 0 for any other k.
int32_t ArrayDimSize(const DimArray& a, int32_t k);

// The "bounds: " and "access: " report lines, to the debugger and to standard error. They
// neither set the error code nor end the program. Number and string reports show three
// levels, integer and byte reports four.
void ArrayBoundsReport(const DimArray& a, int32_t i0, int32_t i1, int32_t i2);
void ArrayBoundsReportStr(const DimArray& a, int32_t i0, int32_t i1, int32_t i2);
void ArrayBoundsReportInt(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3);
void ArrayBoundsReportByte(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3);

// DIM the target to the source's sizes and copy the elements; assigning an array to itself
// keeps it unchanged.
DimArray& ArrayAssignInt(DimArray& target, const DimArray& source);
DimArray& ArrayAssignNumber(DimArray& target, const DimArray& source);
// DIM to (n) and copy n values; n < 1 leaves an empty array.
void ArrayDimIntFromValues(DimArray& a, int32_t n, const int32_t* values);
void ArrayDimNumberFromValues(DimArray& a, int32_t n, const double* values);

// Frees the block (string kind: every element released, last first) and zeroes the record.
void ArrayRelease(DimArray& a);
void ArrayReleaseString(DimArray& a);

// Helpers of the string-array sort: exchange two strings without copying text, and call the
// program's comparison with the two element addresses, truncating its result toward zero.
using StrCompareFunction = double (*)(const Str* a, const Str* b);
void StrSwapContents(Str* a, Str* b);
int32_t CompareCallTrunc(const Str* a, const Str* b, StrCompareFunction compare);

// The language's minimum and maximum, with their own argument order and NaN rules.
int32_t MinInt(int32_t a, int32_t b);
int32_t MaxInt(int32_t a, int32_t b);
double MinDouble(double a, double b);
double MaxDouble(double a, double b);
int32_t MaxIntTrunc(int32_t i, double x);
