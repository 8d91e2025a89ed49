// Arrays of a grid's size for the planner. Their pages are backed by huge pages where the system
// allows, so a first search on fresh memory takes one page fault per 2 MiB it reaches instead of
// one per 4 KiB; zeroed arrays come from pages the system hands out untouched, so a search pays
// only for the cells it reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/large_blocks.h"

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

template <typename T>
using LargeArray = std::unique_ptr<T[], FreeDeleter>;

// None when memory runs out. T must be valid when all its bytes are zero.
template <typename T>
LargeArray<T> AllocateZeroed(size_t count) {
  T* block = static_cast<T*>(std::calloc(count, sizeof(T)));
  platform::AdviseHugePages(block, count * sizeof(T));
  return LargeArray<T>(block);
}

// None when memory runs out. T must be a type whose values are written before they are read.
template <typename T>
LargeArray<T> AllocateUninitialised(size_t count) {
  if (count > SIZE_MAX / sizeof(T)) return nullptr;
  T* block = static_cast<T*>(std::malloc(count * sizeof(T)));
  platform::AdviseHugePages(block, count * sizeof(T));
  return LargeArray<T>(block);
}
