// Transparent huge pages through madvise, which works on any private anonymous range, and the
// allocator's mapping threshold.
#include "platform/large_blocks.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace platform {

namespace {

constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
constexpr size_t kLargeBlock = size_t(4) << 20;

}  // namespace

void AdviseHugePages(void* block, size_t bytes) {
  if (!block || bytes < kLargeBlock) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHugePage - 1);
  if (end <= start) return;
  madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void MapLargeBlocksApart() {
  mallopt(M_MMAP_THRESHOLD, int(kLargeBlock));
}

}  // namespace platform
