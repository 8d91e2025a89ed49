// Zero-filled arrays whose pages the system hands out untouched: a search over a large grid pays
// only for the cells it reaches, not for clearing per-cell tables it never reads.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

template <typename T>
using ZeroedArray = std::unique_ptr<T[], FreeDeleter>;

// None when memory runs out. T must be valid when all its bytes are zero.
template <typename T>
ZeroedArray<T> AllocateZeroed(size_t count) {
  return ZeroedArray<T>(static_cast<T*>(std::calloc(count, sizeof(T))));
}
