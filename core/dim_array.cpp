// DIM, REDIM, DIMPUSH, checked access and the bounds reports for the four element kinds.
#include "core/dim_array.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "core/console.h"
#include "core/last_error.h"
#include "core/maths.h"
#include "core/number_text.h"
#include "core/terminate.h"
#include "platform/large_blocks.h"

namespace {

// How a kind sizes a new block for a given element count.
enum class Growth {
  By8,    // (count & ~7) + 8: integer and number arrays
  By64,   // (count & ~63) + 64, no block for 0: string and byte arrays
  Exact,  // exactly count
};

int64_t CapacityFor(Growth growth, int64_t count) {
  switch (growth) {
    case Growth::By8: return (count & ~int64_t(7)) + 8;
    case Growth::By64: return count == 0 ? 0 : (count & ~int64_t(63)) + 64;
    case Growth::Exact: return count;
  }
  return count;
}

bool HasBlockFor(Growth growth, int64_t capacity) {
  return capacity > 0 || growth == Growth::Exact;
}

// The sizes of a DIM after the checks that keep every count and stride inside i32.
struct Shape {
  int32_t size[4];
  int64_t count;
  bool empty;  // a first size below 1: always a new block
};

Shape CheckedShape(int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  if (d1 < 0 || d2 < 0 || d3 < 0) FatalTerminate(7);
  Shape shape{{std::max(d0, 0), d1, d2, d3}, 0, d0 < 1};
  int64_t count = shape.size[0];
  for (int k = 1; k < 4; ++k) {
    count *= MaxInt(1, shape.size[k]);
    if (count > kArrayMaxCount) FatalTerminate(7);
  }
  shape.count = count;
  return shape;
}

// A size 0 between used dimensions, as in (3, 0, 2), steps as a size of 1: with a stride of 0
// the later index would never move and every (i0, 0, i2) would share one cell. Unused trailing
// dimensions keep the plain products.
int64_t StrideSize(const Shape& shape, int k) {
  const int32_t later = k == 1 ? shape.size[2] | shape.size[3] : shape.size[3];
  return later != 0 ? MaxInt(1, shape.size[k]) : shape.size[k];
}

void SetShape(DimArray& a, const Shape& shape) {
  const int64_t d0 = shape.size[0], d1 = StrideSize(shape, 1), d2 = StrideSize(shape, 2);
  a.stride1 = int32_t(d0);
  a.stride2 = int32_t(d0 * d1);
  a.stride3 = int32_t(d0 * d1 * d2);
  a.size0 = shape.size[0];
  a.size1 = shape.size[1];
  a.size2 = shape.size[2];
  a.size3 = shape.size[3];
  a.count = int32_t(shape.count);
  a.dims = a.size3 ? 4 : a.size2 ? 3 : a.size1 ? 2 : a.size0 ? 1 : 0;
}

void ClearShape(DimArray& a) {
  a.stride1 = a.stride2 = a.stride3 = 0;
  a.size0 = a.size1 = a.size2 = a.size3 = 0;
  a.count = 0;
  a.dims = 0;
}

template <class T>
T* Elements(const DimArray& a) {
  return static_cast<T*>(a.data);
}

// calloc gives zeroed numeric blocks, and lazily zeroed pages for the large voxel boxes.
template <class T>
T* AllocateBlock(int64_t capacity) {
  void* block = std::calloc(size_t(std::max<int64_t>(capacity, 1)), sizeof(T));
  if (!block) FatalTerminate(7);
  T* elements = static_cast<T*>(block);
  if constexpr (std::is_same_v<T, Str>) {
    for (int64_t i = 0; i < capacity; ++i) StrInitEmpty(elements[i]);
  }
  return elements;
}

template <class T>
void FreeBlock(DimArray& a) {
  if constexpr (std::is_same_v<T, Str>) {
    if (a.data) {
      for (int32_t i = a.capacity - 1; i >= 0; --i) StrRelease(Elements<Str>(a)[i]);
    }
  }
  std::free(a.data);
  a.data = nullptr;
  a.capacity = 0;
}

template <class T>
void ZeroElements(DimArray& a, int64_t count) {
  if constexpr (std::is_same_v<T, Str>) {
    Str empty;
    StrInitEmpty(empty);
    for (int64_t i = 0; i < count; ++i) StrAssign(Elements<Str>(a)[i], empty);  // keeps buffers
  } else if (count > 0) {
    std::memset(a.data, 0, size_t(count) * sizeof(T));
  }
}

template <class T>
void Dim(DimArray& a, Growth growth, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  const Shape shape = CheckedShape(d0, d1, d2, d3);
  if (shape.empty || a.capacity < shape.count) {
    FreeBlock<T>(a);
    const int64_t capacity = CapacityFor(growth, shape.count);
    if (HasBlockFor(growth, capacity)) a.data = AllocateBlock<T>(capacity);
    a.capacity = int32_t(capacity);
  } else {
    ZeroElements<T>(a, shape.count);
  }
  SetShape(a, shape);
}

// ---- checked access ----

using Report = void (*)(const DimArray&, int32_t, int32_t, int32_t, int32_t);

void ReportNumber(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t) {
  ArrayBoundsReport(a, i0, i1, i2);
}
void ReportString(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t) {
  ArrayBoundsReportStr(a, i0, i1, i2);
}

template <class T>
constexpr Report ReportFor() {
  if constexpr (std::is_same_v<T, int32_t>) return ArrayBoundsReportInt;
  if constexpr (std::is_same_v<T, double>) return ReportNumber;
  if constexpr (std::is_same_v<T, uint8_t>) return ArrayBoundsReportByte;
  if constexpr (std::is_same_v<T, Str>) return ReportString;
}

// An index of an unused dimension must be 0: any other value would address another element or
// lie outside the block.
bool IndexFits(int32_t index, int32_t size) {
  return index >= 0 && (size == 0 ? index == 0 : index < size);
}

// The offset of a valid element, or -1.
int64_t ElementOffset(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  if (!a.data || i0 < 0 || i0 >= a.size0) return -1;
  if (!IndexFits(i1, a.size1) || !IndexFits(i2, a.size2) || !IndexFits(i3, a.size3)) return -1;
  const int64_t offset =
      i0 + int64_t(i1) * a.stride1 + int64_t(i2) * a.stride2 + int64_t(i3) * a.stride3;
  return offset < a.capacity ? offset : -1;
}

// An element access reports three times with growing index lists; DIMPUSH and the string REDIM
// report twice with all indexes.
enum class Reports { Access, Twice };

template <class T>
[[noreturn]] void FailAccess(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3,
                             Reports reports) {
  const Report report = ReportFor<T>();
  if (reports == Reports::Access) {
    report(a, i0, i1, 0, 0);
    report(a, i0, i1, i2, 0);
  } else {
    report(a, i0, i1, i2, i3);
  }
  report(a, i0, i1, i2, i3);
  FatalTerminate(9);
}

template <class T>
T* CheckedAt(DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3,
             Reports reports = Reports::Access) {
  if (i0 < 0) i0 += a.size0;
  const int64_t offset = ElementOffset(a, i0, i1, i2, i3);
  if (offset < 0) FailAccess<T>(a, i0, i1, i2, i3, reports);
  return Elements<T>(a) + offset;
}

template <class T>
void MoveElement(T& from, T& to) {
  if constexpr (std::is_same_v<T, Str>) {
    std::swap(from, to);
  } else {
    to = from;
  }
}

// Copies the overlap of the two shapes, every element keeping its indexes.
template <class T>
void CopyOverlap(DimArray& from, DimArray& to, Reports reports) {
  const int32_t e0 = MinInt(from.size0, to.size0);
  const int32_t e1 = MinInt(from.size1, to.size1);
  const int32_t e2 = MinInt(from.size2, to.size2);
  const int32_t e3 = MinInt(from.size3, to.size3);
  for (int32_t i3 = 0; i3 < MaxInt(1, e3); ++i3) {
    for (int32_t i2 = 0; i2 < MaxInt(1, e2); ++i2) {
      for (int32_t i1 = 0; i1 < MaxInt(1, e1); ++i1) {
        for (int32_t i0 = 0; i0 < e0; ++i0) {
          MoveElement(*CheckedAt<T>(from, i0, i1, i2, i3, reports),
                      *CheckedAt<T>(to, i0, i1, i2, i3, reports));
        }
      }
    }
  }
}

template <class T>
void Redim(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3, Reports reports) {
  if (d0 < 1) {
    ClearShape(a);
    return;
  }
  DimArray fresh{};
  Dim<T>(fresh, std::is_same_v<T, Str> ? Growth::By64 : Growth::By8, d0, d1, d2, d3);
  CopyOverlap<T>(a, fresh, reports);
  FreeBlock<T>(a);
  a = fresh;
}

// Grows the block in place or moves it whole (string records included, stale ones past the end
// too, so no buffer is lost or released twice); large blocks move by remapping, without copying.
template <class T>
void Regrow(DimArray& a, int64_t capacity) {
  void* block = std::realloc(a.data, size_t(capacity) * sizeof(T));
  if (!block) FatalTerminate(7);  // the old block stays with the array
  // Growth zeroes the new part at once, so a growing list commits every page of it.
  platform::AdviseHugePages(block, size_t(capacity) * sizeof(T));
  T* elements = static_cast<T*>(block);
  if constexpr (std::is_same_v<T, Str>) {
    for (int64_t i = a.capacity; i < capacity; ++i) StrInitEmpty(elements[i]);
  } else {
    std::memset(elements + a.capacity, 0, size_t(capacity - a.capacity) * sizeof(T));
  }
  a.data = block;
  a.capacity = int32_t(capacity);
}

// Makes room for one more element in a one-dimensional array and returns its index. Growth is
// geometric, but never below the kind's DIM rule, so small arrays get the usual capacities.
// Any second to fourth size counts as more than one dimension: growing size0 alone would let the
// element count outrun the block.
template <class T>
int32_t PushSlot(DimArray& a, Growth growth) {
  if (a.size1 != 0 || a.size2 != 0 || a.size3 != 0) FatalTerminate(8);
  const int64_t n = int64_t(a.size0) + 1;
  if (n > kArrayMaxCount) FatalTerminate(7);
  if (a.capacity > n) {
    ++a.count;
    ++a.size0;
    return a.size0 - 1;
  }
  const int64_t doubled = std::min<int64_t>(int64_t(a.capacity) * 2, INT32_MAX);
  Regrow<T>(a, std::max(CapacityFor(growth, n), doubled));
  SetShape(a, Shape{{int32_t(n), 0, 0, 0}, n, false});
  return int32_t(n - 1);
}

bool InsideBlock(const DimArray& a, const Str* p) {
  const Str* first = Elements<Str>(a);
  return first && std::less_equal<const Str*>()(first, p) &&
         std::less<const Str*>()(p, first + a.capacity);
}

// ---- reports ----

void AppendLevel(Str& line, int32_t value) {
  StrAppendCString(line, "[");
  Str number = FormatNumber(4, 0, value);
  StrAppendCString(line, number.data);
  StrRelease(number);
  StrAppendCString(line, "]");
}

void BoundsReport(const DimArray& a, const int32_t (&index)[4], int levels) {
  const int32_t sizes[4] = {a.size0, a.size1, a.size2, a.size3};
  Str bounds, access;
  StrFromCString(bounds, "bounds: ");
  StrFromCString(access, "access: ");
  AppendLevel(bounds, sizes[0]);
  AppendLevel(access, index[0]);
  for (int k = 1; k < levels && sizes[k] > 0; ++k) {
    AppendLevel(bounds, sizes[k]);
    AppendLevel(access, index[k]);
  }
  StrAppendCString(bounds, "\n");
  StrAppendCString(access, "\n");
  DebugOut(bounds);
  DebugOut(access);
  StdErr(bounds);
  StdErr(access);
  StrRelease(access);
  StrRelease(bounds);
}

template <class T>
DimArray& Assign(DimArray& target, const DimArray& source) {
  if (&target == &source) return target;
  Dim<T>(target, Growth::By8, source.size0, source.size1, source.size2, source.size3);
  if (target.count > 0) std::memcpy(target.data, source.data, size_t(target.count) * sizeof(T));
  return target;
}

template <class T>
void DimFromValues(DimArray& a, int32_t n, const T* values) {
  Dim<T>(a, Growth::By8, n, 0, 0, 0);
  for (int32_t i = 0; i < n; ++i) *CheckedAt<T>(a, i, 0, 0, 0) = values[i];
}

}  // namespace

void ArrayDimInt(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<int32_t>(a, Growth::By8, d0, d1, d2, d3);
}
void ArrayDimNumber(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<double>(a, Growth::By8, d0, d1, d2, d3);
}
void ArrayDimByte(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<uint8_t>(a, Growth::By64, d0, d1, d2, d3);
}
void ArrayDimString(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<Str>(a, Growth::By64, d0, d1, d2, d3);
}
void ArrayDimIntExact(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<int32_t>(a, Growth::Exact, d0, d1, d2, d3);
}
void ArrayDimNumberExact(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Dim<double>(a, Growth::Exact, d0, d1, d2, d3);
}

void ArrayRedimInt(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Redim<int32_t>(a, d0, d1, d2, d3, Reports::Access);
}
void ArrayRedimNumber(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Redim<double>(a, d0, d1, d2, d3, Reports::Access);
}
// All four dimensions are kept, so a three- or four-dimensional REDIM loses no text.
void ArrayRedimString(DimArray& a, int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
  Redim<Str>(a, d0, d1, d2, d3, Reports::Twice);
}

void ArrayPushNumber(DimArray& a, double value) {
  const int32_t index = PushSlot<double>(a, Growth::By8);
  *CheckedAt<double>(a, index, 0, 0, 0, Reports::Twice) = value;
}

void ArrayPushString(DimArray& a, const Str& value) {
  // The value may live in the block that the push is about to move.
  const int64_t aliased = InsideBlock(a, &value) ? &value - Elements<Str>(a) : -1;
  const int32_t index = PushSlot<Str>(a, Growth::By64);
  const Str& source = aliased >= 0 ? Elements<Str>(a)[aliased] : value;
  StrAssign(*CheckedAt<Str>(a, index, 0, 0, 0, Reports::Twice), source);
}

int32_t* ArrayElementAt(DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  return CheckedAt<int32_t>(a, i0, i1, i2, i3);
}
double* ArrayNumberAt(DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  return CheckedAt<double>(a, i0, i1, i2, i3);
}
uint8_t* ArrayByteAt(DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  return CheckedAt<uint8_t>(a, i0, i1, i2, i3);
}
Str* ArrayStringAt(DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  return CheckedAt<Str>(a, i0, i1, i2, i3);
}

int32_t ArrayDimSize(const DimArray& a, int32_t k) {
  switch (k) {
    case 0: return a.size0;
    case 1: return a.size1;
    case 2: return a.size2;
    case 3: return a.size3;
    default: return 0;
  }
}

void ArrayBoundsReport(const DimArray& a, int32_t i0, int32_t i1, int32_t i2) {
  BoundsReport(a, {i0, i1, i2, 0}, 3);
}
void ArrayBoundsReportStr(const DimArray& a, int32_t i0, int32_t i1, int32_t i2) {
  BoundsReport(a, {i0, i1, i2, 0}, 3);
}
void ArrayBoundsReportInt(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  BoundsReport(a, {i0, i1, i2, i3}, 4);
}
void ArrayBoundsReportByte(const DimArray& a, int32_t i0, int32_t i1, int32_t i2, int32_t i3) {
  BoundsReport(a, {i0, i1, i2, i3}, 4);
}

DimArray& ArrayAssignInt(DimArray& target, const DimArray& source) {
  return Assign<int32_t>(target, source);
}
DimArray& ArrayAssignNumber(DimArray& target, const DimArray& source) {
  return Assign<double>(target, source);
}

void ArrayDimIntFromValues(DimArray& a, int32_t n, const int32_t* values) {
  DimFromValues(a, n, values);
}
void ArrayDimNumberFromValues(DimArray& a, int32_t n, const double* values) {
  DimFromValues(a, n, values);
}

void ArrayRelease(DimArray& a) {
  FreeBlock<uint8_t>(a);
  ClearShape(a);
}
void ArrayReleaseString(DimArray& a) {
  FreeBlock<Str>(a);
  ClearShape(a);
}

void StrSwapContents(Str* a, Str* b) { std::swap(*a, *b); }

int32_t CompareCallTrunc(const Str* a, const Str* b, StrCompareFunction compare) {
  return TruncToI32(compare(a, b));
}

int32_t MinInt(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t MaxInt(int32_t a, int32_t b) { return b < a ? a : b; }
double MinDouble(double a, double b) { return (b <= a || std::isunordered(a, b)) ? b : a; }
double MaxDouble(double a, double b) { return a > b ? a : b; }
int32_t MaxIntTrunc(int32_t i, double x) { return MaxInt(i, TruncToI32(x)); }
