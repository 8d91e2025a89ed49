// Transparent huge pages through madvise, which works on any private anonymous range, and the
// allocator's mapping threshold. Only blocks from malloc and realloc are advised.
#include "platform/large_blocks.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {

constexpr size_t kLargeBlock = size_t(4) << 20;

}  // namespace

// The advice covers every page of the allocator's block: advising only part of a block that is a
// mapping of its own would split that mapping, and a split mapping can no longer be remapped.
void AdviseHugePages(void* block, size_t bytes) {
  if (!block || bytes < kLargeBlock) return;
  const uintptr_t pageSize = uintptr_t(sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(block);
  const uintptr_t start = first & ~(pageSize - 1);
  const uintptr_t end = (first + malloc_usable_size(block) + pageSize - 1) & ~(pageSize - 1);
  madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void MapLargeBlocksApart() {
  mallopt(M_MMAP_THRESHOLD, int(kLargeBlock));
}

}  // namespace platform
