// The planner's open list: a binary heap of fixed capacity. Nodes leave it lowest key first and,
// among equal keys, in the order they were queued: the order of a ring kept sorted from the
// highest key at the front to the lowest at the back, where a node goes in front of those with
// its key and the back is taken, at a heap's cost instead of a shift per insertion.
#pragma once

#include <cstdint>
#include <memory>

#include "pathfind/node_factory.h"

struct OpenEntry {
  float f;
  uint32_t cell;    // where the slot table records this entry's position
  uint64_t queued;  // the queueing count when the node came in, which orders equal keys
  Node* node;
};

struct OpenList {
  std::unique_ptr<OpenEntry[]> entries;  // entries[0] leaves next
  uint32_t capacity = 0;
  uint32_t size = 0;
  uint64_t queued = 0;
  // When set, slots[cell] follows the position of each queued entry of that cell.
  uint32_t* slots = nullptr;

  OpenList() = default;
  OpenList(const OpenList&) = delete;
  OpenList& operator=(const OpenList&) = delete;
};

// Empties the list and gives it room for capacity entries (the old room when it has that size
// already); false when memory runs out (capacity 0 then).
bool OpenListResize(OpenList& list, uint32_t capacity);
void OpenListClear(OpenList& list);
// False, with nothing queued, when the list is full.
bool OpenListPush(OpenList& list, Node* node, uint32_t cell);
// The node with the lowest key, queued first among equal keys, taken off; none when empty.
Node* OpenListPop(OpenList& list);
// Takes the entry at a position (below the size) off.
void OpenListEraseAt(OpenList& list, uint32_t position);
