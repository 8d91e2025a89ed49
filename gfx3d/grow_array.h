// GrowArray: the growable array of the mesh and model code. The first block follows the
// runtime's rule (the minimum, else whole grow steps above the request); every later growth at
// least doubles, so filling an array element by element costs amortised constant time. A
// growth that cannot get memory keeps the old block and contents and answers false, so one
// failed append loses only the element it was adding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace grow_array_detail {
// Storage for every GrowArray, with a test seam that makes allocations fail. Resize keeps the
// block's bytes (moving them when it must) and answers null, the block unchanged, on failure.
void* Allocate(size_t bytes);
void* Resize(void* block, size_t bytes);
void Free(void* block);
}  // namespace grow_array_detail

// Test seam: the next `successes` allocations work, every later one fails; -1 (the default)
// lets all of them work.
void SetGrowArrayAllocationLimit(int64_t successes);

inline constexpr int32_t kGrowStep = 128;
inline constexpr int32_t kGrowMinimum = 512;

template <class T>
class GrowArray {
 public:
  GrowArray() = default;
  GrowArray(int32_t growStep, int32_t minimum) { SetGrowth(growStep, minimum); }
  ~GrowArray() { Free(); }
  GrowArray(const GrowArray&) = delete;
  GrowArray& operator=(const GrowArray&) = delete;
  GrowArray(GrowArray&& other) noexcept { TakeFrom(other); }
  GrowArray& operator=(GrowArray&& other) noexcept {
    if (this != &other) {
      Free();
      TakeFrom(other);
    }
    return *this;
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  int32_t count() const { return count_; }
  int32_t capacity() const { return capacity_; }
  bool empty() const { return count_ == 0; }
  int32_t growStep() const { return growStep_; }
  int32_t minimum() const { return minimum_; }
  void SetGrowth(int32_t growStep, int32_t minimum) {
    growStep_ = growStep > 0 ? growStep : 1;
    minimum_ = minimum > 0 ? minimum : 1;
  }

  T& operator[](int32_t i) { return data_[i]; }
  const T& operator[](int32_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + count_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + count_; }
  T& back() { return data_[count_ - 1]; }

  // Room for n elements. Nothing happens while the capacity is above n; false when the memory
  // cannot be had (the array is then unchanged).
  bool Reserve(int64_t n) {
    if (capacity_ > n) return true;
    int64_t wanted = FirstBlockFor(n);
    if (capacity_ > 0 && wanted < 2 * int64_t(capacity_)) wanted = 2 * int64_t(capacity_);
    if (wanted > INT32_MAX) wanted = INT32_MAX;
    return wanted >= n && Reallocate(wanted);
  }

  // Room for exactly n elements, for a reader that knows its count from a file: a small file
  // never makes a large block.
  bool ReserveExact(int64_t n) {
    if (capacity_ >= n) return true;
    return n <= INT32_MAX && Reallocate(n);
  }

  bool Append(const T& value) {
    if (count_ == capacity_ && !Reserve(int64_t(count_) + 1)) return false;
    new (data_ + count_) T(value);
    ++count_;
    return true;
  }
  bool Append(T&& value) {
    if (count_ == capacity_ && !Reserve(int64_t(count_) + 1)) return false;
    new (data_ + count_) T(std::move(value));
    ++count_;
    return true;
  }

  // Becomes a copy of the source's elements, its own grow step and minimum kept; false, and
  // empty, when the memory cannot be had.
  bool AssignCopy(const GrowArray& src) {
    if (this == &src) return true;
    Clear(false);
    if (!Reserve(src.count_)) return false;
    std::uninitialized_copy(src.begin(), src.end(), data_);
    count_ = src.count_;
    return true;
  }

  // The capacity becomes the count, giving back the slack of growth.
  void ShrinkToFit() {
    if (capacity_ > count_) Reallocate(count_);
  }

  // Keeps the first n elements (all of them when there are not more than n).
  void Truncate(int32_t n) {
    if (n < 0 || n >= count_) return;
    std::destroy(data_ + n, data_ + count_);
    count_ = n;
  }

  // No elements; with freeStorage the block goes too.
  void Clear(bool freeStorage) {
    std::destroy_n(data_, count_);
    count_ = 0;
    if (freeStorage) {
      grow_array_detail::Free(data_);
      data_ = nullptr;
      capacity_ = 0;
    }
  }

 private:
  int64_t FirstBlockFor(int64_t n) const {
    if (n <= minimum_) return minimum_;
    return int64_t(growStep_) * (n / growStep_ + 1);
  }

  // Plain records are resized in place where the allocator can (large blocks are remapped, not
  // copied), so growth never holds two copies of them.
  bool Reallocate(int64_t capacity) {
    if (uint64_t(capacity) > SIZE_MAX / sizeof(T)) return false;
    const size_t bytes = size_t(capacity) * sizeof(T);
    T* block;
    if constexpr (std::is_trivially_copyable_v<T>) {
      if (capacity == 0) {
        Free();
        return true;
      }
      block = static_cast<T*>(grow_array_detail::Resize(data_, bytes));
      if (!block) return false;
    } else {
      block = static_cast<T*>(grow_array_detail::Allocate(bytes));
      if (!block) return false;
      MoveInto(block);
      grow_array_detail::Free(data_);
    }
    data_ = block;
    capacity_ = int32_t(capacity);
    return true;
  }

  void MoveInto(T* block) {
    for (int32_t i = 0; i < count_; ++i) {
      new (block + i) T(std::move(data_[i]));
      data_[i].~T();
    }
  }

  void Free() { Clear(true); }

  void TakeFrom(GrowArray& other) {
    data_ = std::exchange(other.data_, nullptr);
    count_ = std::exchange(other.count_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    growStep_ = other.growStep_;
    minimum_ = other.minimum_;
  }

  T* data_ = nullptr;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
  int32_t growStep_ = kGrowStep;
  int32_t minimum_ = kGrowMinimum;
};
