// The one allocator behind every GrowArray, with the seam that lets tests run out of memory.
#include "gfx3d/grow_array.h"

#include <cstdlib>

namespace {
int64_t allocationsLeft = -1;
}  // namespace

void SetGrowArrayAllocationLimit(int64_t successes) {
  allocationsLeft = successes;
}

namespace grow_array_detail {

void* Allocate(size_t bytes) {
  if (allocationsLeft == 0) return nullptr;
  if (allocationsLeft > 0) --allocationsLeft;
  return std::malloc(bytes);
}

void Free(void* block) {
  std::free(block);
}

}  // namespace grow_array_detail
