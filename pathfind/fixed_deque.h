// A ring buffer of fixed capacity, a double-ended queue that never grows.
// An insertion or erasure at either end is a push or a pop; one in the middle rebuilds the
// contents, in order from index 0, through a second buffer of the same size in one pass and
// swaps the two.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

template <typename T>
struct FixedDeque {
  std::unique_ptr<T[]> buffer;
  std::unique_ptr<T[]> scratch;
  uint32_t capacity = 0;
  uint32_t head = 0;  // index of the first element
  uint32_t tail = 0;  // index behind the last element
  bool empty = true;  // tells an empty ring from a full one when head meets tail

  explicit FixedDeque(uint32_t initialCapacity = 0);
  FixedDeque(const FixedDeque&) = delete;
  FixedDeque& operator=(const FixedDeque&) = delete;
  virtual ~FixedDeque() = default;
};

template <typename T>
bool FixedDequeIsFull(const FixedDeque<T>& d) {
  // A ring without storage counts as full, so nothing is ever stored into a missing buffer.
  return d.capacity == 0 || (!d.empty && d.head == d.tail);
}

template <typename T>
uint32_t FixedDequeSlot(const FixedDeque<T>& d, uint64_t offset) {
  const uint64_t p = d.head + offset;
  return static_cast<uint32_t>(p >= d.capacity ? p - d.capacity : p);
}

// Copies count elements from the element at index first on to out; they wrap at most once.
template <typename T>
void FixedDequeCopyOut(const FixedDeque<T>& d, uint32_t first, uint32_t count, T* out) {
  if (count == 0) return;
  const uint32_t start = FixedDequeSlot(d, first);
  const uint32_t before = std::min(count, d.capacity - start);
  std::copy(&d.buffer[start], &d.buffer[start] + before, out);
  std::copy(&d.buffer[0], &d.buffer[0] + (count - before), out + before);
}

template <typename T>
void FixedDequeClear(FixedDeque<T>& d) {
  d.head = d.tail = 0;
  d.empty = true;
}

// Empties the ring and gives it new buffers of the capacity (the old ones when they have that
// size already); false when memory runs out (capacity 0 then).
template <typename T>
bool FixedDequeResize(FixedDeque<T>& d, uint32_t capacity) {
  if (capacity == d.capacity) {
    FixedDequeClear(d);
    return true;
  }
  d.buffer.reset();
  d.scratch.reset();
  d.capacity = 0;
  d.head = d.tail = 0;
  d.empty = true;
  if (capacity == 0) return true;
  d.buffer.reset(new (std::nothrow) T[capacity]);
  d.scratch.reset(new (std::nothrow) T[capacity]);
  if (!d.buffer || !d.scratch) {
    d.buffer.reset();
    d.scratch.reset();
    return false;
  }
  d.capacity = capacity;
  return true;
}

template <typename T>
FixedDeque<T>::FixedDeque(uint32_t initialCapacity) {
  FixedDequeResize(*this, initialCapacity);
}

template <typename T>
uint32_t FixedDequeSize(const FixedDeque<T>& d) {
  if (d.empty) return 0;
  if (d.tail > d.head) return d.tail - d.head;
  return d.capacity - d.head + d.tail;
}

template <typename T>
bool FixedDequeIsEmpty(const FixedDeque<T>& d) {
  return d.empty;
}

// Not range-checked: i must be below the size.
template <typename T>
T& FixedDequeAt(FixedDeque<T>& d, uint32_t i) {
  return d.buffer[FixedDequeSlot(d, i)];
}

template <typename T>
T& FixedDequeBack(FixedDeque<T>& d) {
  return d.buffer[d.tail == 0 ? d.capacity - 1 : d.tail - 1];
}

template <typename T>
bool FixedDequePushBack(FixedDeque<T>& d, T v) {
  if (FixedDequeIsFull(d)) return false;
  d.buffer[d.tail] = std::move(v);
  d.tail = d.tail + 1 == d.capacity ? 0 : d.tail + 1;
  d.empty = false;
  return true;
}

template <typename T>
bool FixedDequePushFront(FixedDeque<T>& d, T v) {
  if (FixedDequeIsFull(d)) return false;
  d.head = d.head == 0 ? d.capacity - 1 : d.head - 1;
  d.buffer[d.head] = std::move(v);
  d.empty = false;
  return true;
}

template <typename T>
bool FixedDequePopBack(FixedDeque<T>& d) {
  if (d.empty) return false;
  d.tail = d.tail == 0 ? d.capacity - 1 : d.tail - 1;
  d.empty = d.head == d.tail;
  return true;
}

template <typename T>
bool FixedDequePopFront(FixedDeque<T>& d) {
  if (d.empty) return false;
  d.head = d.head + 1 == d.capacity ? 0 : d.head + 1;
  d.empty = d.head == d.tail;
  return true;
}

// Puts v before the element at index i (i = size appends). The index is checked before it is
// wrapped: a wrapped index past the end would otherwise pass for the head or the tail.
template <typename T>
bool FixedDequeInsertAt(FixedDeque<T>& d, uint32_t i, T v) {
  const uint32_t size = FixedDequeSize(d);
  if (d.capacity == 0 || i > size) return false;
  const uint32_t p = FixedDequeSlot(d, i);
  if (p == d.tail) return FixedDequePushBack(d, std::move(v));
  if (p == d.head) return FixedDequePushFront(d, std::move(v));
  if (FixedDequeIsFull(d)) return false;
  FixedDequeCopyOut(d, 0, i, &d.scratch[0]);
  d.scratch[i] = std::move(v);
  FixedDequeCopyOut(d, i, size - i, &d.scratch[i + 1]);
  std::swap(d.buffer, d.scratch);
  d.head = 0;
  d.tail = size + 1 == d.capacity ? 0 : size + 1;
  d.empty = false;
  return true;
}

template <typename T>
bool FixedDequeEraseAt(FixedDeque<T>& d, uint32_t i) {
  const uint32_t size = FixedDequeSize(d);
  if (i >= size) return false;
  const uint32_t p = FixedDequeSlot(d, i);
  const uint32_t last = d.tail == 0 ? d.capacity - 1 : d.tail - 1;
  if (p == last) return FixedDequePopBack(d);
  if (p == d.head) return FixedDequePopFront(d);
  FixedDequeCopyOut(d, 0, i, &d.scratch[0]);
  FixedDequeCopyOut(d, i + 1, size - i - 1, &d.scratch[i]);
  std::swap(d.buffer, d.scratch);
  d.head = 0;
  d.tail = size - 1;
  return true;
}
