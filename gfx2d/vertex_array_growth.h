// The growth rule the 2D vertex arrays share: when the capacity is not above the need, the new
// capacity is the minimum when that suffices, else the next multiple of the step above the need
// or above twice the old capacity, whichever is larger, so filling an array vertex by vertex
// costs linear time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/terminate.h"

// Makes room for need elements, keeping the first count. Running out of memory ends the program
// with error 7: the callers write into the array at once and have no way to report it.
template <typename T>
void GrowVertexArray(T*& data, int32_t count, int32_t& capacity, int32_t step, int32_t minimum,
                     int32_t need) {
  if (capacity > need) return;
  const int64_t wanted = std::max<int64_t>(need, int64_t(capacity) * 2);
  const int64_t grown = minimum >= wanted ? minimum : step * (wanted / step + 1);
  if (grown > INT32_MAX) FatalTerminate(7);
  auto* block = static_cast<T*>(std::calloc(size_t(grown), sizeof(T)));
  if (!block) FatalTerminate(7);
  if (data && count > 0) std::memcpy(block, data, size_t(count) * sizeof(T));
  std::free(data);
  data = block;
  capacity = int32_t(grown);
}
