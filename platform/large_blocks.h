// Large blocks of memory. The first write to each 4 KiB page of fresh memory costs a page
// fault, which dominates filling a block of hundreds of megabytes (on a virtual machine most of
// all), and growing a block the allocator keeps in its heap copies it whole.
#pragma once

#include <cstddef>

namespace platform {

// Advice only, for a block from malloc or realloc: its pages are to be backed by huge pages where whole 2 MiB ranges allow,
// one fault per 2 MiB when first touched. Blocks below 4 MiB are left alone; a kernel that
// refuses changes nothing.
void AdviseHugePages(void* block, size_t bytes);

// From now on every block of 4 MiB or more is a mapping of its own, which realloc moves by
// remapping its pages instead of copying them (the allocator's sliding threshold would
// otherwise put blocks up to 32 MiB in its heap).
void MapLargeBlocksApart();

}  // namespace platform
