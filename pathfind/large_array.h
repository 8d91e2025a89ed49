// Arrays of a grid's size for the planner, never filled beforehand: zeroed ones come from pages
// the system hands out untouched, and the others are written before they are read, so a search
// pays only for the cells it reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

template <typename T>
using LargeArray = std::unique_ptr<T[], FreeDeleter>;

// None when memory runs out. T must be valid when all its bytes are zero.
template <typename T>
LargeArray<T> AllocateZeroed(size_t count) {
  return LargeArray<T>(static_cast<T*>(std::calloc(count, sizeof(T))));
}

// None when memory runs out. T must be a type whose values are written before they are read.
template <typename T>
LargeArray<T> AllocateUninitialised(size_t count) {
  if (count > SIZE_MAX / sizeof(T)) return nullptr;
  return LargeArray<T>(static_cast<T*>(std::malloc(count * sizeof(T))));
}
