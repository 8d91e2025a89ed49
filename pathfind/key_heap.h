// The binary heap behind both open lists: entries leave lowest key first and, among equal keys,
// in the order they were queued. That is the order of a ring kept sorted from the highest key at
// the front to the lowest at the back, where a node goes in front of those with its key and the
// back is taken, at a heap's cost instead of a shift per insertion. Queueing counts never repeat,
// so the order is strict and the entry at the root is always the one the ring would hand out.
// Each move of an entry goes through the caller's `place(position, entry)`, which stores the
// entry and remembers where the entry's item now lies.
#pragma once

#include <cstdint>

struct OpenEntry {
  float f;
  uint32_t item;    // what the entry queues: a pool index or a cell index
  uint64_t queued;  // the queueing count when the item came in, which orders equal keys
};

// Written without branches: on a large search the outcome is a coin toss the processor cannot
// predict.
inline bool LeavesBefore(const OpenEntry& a, const OpenEntry& b) {
  return (a.f < b.f) | ((a.f == b.f) & (a.queued < b.queued));
}

template <class Place>
void HeapSiftUp(const OpenEntry* entries, uint32_t position, const OpenEntry& entry,
                Place place) {
  while (position > 0) {
    const uint32_t parent = (position - 1) / 2;
    if (!LeavesBefore(entry, entries[parent])) break;
    place(position, entries[parent]);
    position = parent;
  }
  place(position, entry);
}

// Moves a hole at a position down to a leaf along the children that leave first, and returns
// the leaf. An entry that belongs at or below the position rises from there to its place: it
// nearly always belongs near the bottom, so this compares about half as often as sifting it down.
template <class Place>
uint32_t HeapSinkHole(const OpenEntry* entries, uint32_t size, uint32_t hole, Place place) {
  for (uint32_t child = 2 * hole + 1; child < size; child = 2 * hole + 1) {
    if (child + 1 < size && LeavesBefore(entries[child + 1], entries[child])) ++child;
    place(hole, entries[child]);
    hole = child;
  }
  return hole;
}

// Puts the entry at a position of a heap of the given size, moving it up or down to where its
// key belongs.
template <class Place>
void HeapPlaceAt(const OpenEntry* entries, uint32_t size, uint32_t position,
                 const OpenEntry& entry, Place place) {
  if (position == 0 || !LeavesBefore(entry, entries[(position - 1) / 2]))
    position = HeapSinkHole(entries, size, position, place);
  HeapSiftUp(entries, position, entry, place);
}

// Takes the root off a heap that is not empty, returning it.
template <class Place>
OpenEntry HeapPop(const OpenEntry* entries, uint32_t& size, Place place) {
  const OpenEntry first = entries[0];
  const OpenEntry last = entries[--size];
  if (size > 0) HeapPlaceAt(entries, size, 0, last, place);
  return first;
}

// Takes the entry at a position off.
template <class Place>
void HeapErase(const OpenEntry* entries, uint32_t& size, uint32_t position, Place place) {
  const OpenEntry last = entries[--size];
  if (position != size) HeapPlaceAt(entries, size, position, last, place);
}
