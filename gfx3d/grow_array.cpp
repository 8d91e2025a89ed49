// The one allocator behind every GrowArray, with the seam that lets tests run out of memory.
#include "gfx3d/grow_array.h"

#include <cstdlib>

#include "platform/large_blocks.h"

namespace {
int64_t allocationsLeft = -1;
}  // namespace

void SetGrowArrayAllocationLimit(int64_t successes) {
  allocationsLeft = successes;
}

namespace grow_array_detail {

namespace {

bool MayAllocate() {
  if (allocationsLeft == 0) return false;
  if (allocationsLeft > 0) --allocationsLeft;
  return true;
}

}  // namespace

void* Allocate(size_t bytes) {
  void* block = MayAllocate() ? std::malloc(bytes) : nullptr;
  platform::AdviseHugePages(block, bytes);
  return block;
}

void* Resize(void* block, size_t bytes) {
  void* resized = MayAllocate() ? std::realloc(block, bytes) : nullptr;
  platform::AdviseHugePages(resized, bytes);
  return resized;
}

void Free(void* block) {
  std::free(block);
}

}  // namespace grow_array_detail
