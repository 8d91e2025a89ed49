// The open list's heap: the entry with the lowest (key, queueing count) at the root.
#include "pathfind/open_list.h"

#include <new>

namespace {

// Queueing counts never repeat, so this is a strict total order and the root is always the one
// entry a sorted ring would hand out.
// Written without branches: on a large search the outcome is a coin toss the processor cannot
// predict.
bool LeavesBefore(const OpenEntry& a, const OpenEntry& b) {
  return (a.f < b.f) | ((a.f == b.f) & (a.queued < b.queued));
}

void Place(OpenList& list, uint32_t position, const OpenEntry& entry) {
  list.entries[position] = entry;
  list.positions[entry.node] = position;
}

void SiftUp(OpenList& list, uint32_t position, const OpenEntry& entry) {
  while (position > 0) {
    const uint32_t parent = (position - 1) / 2;
    if (!LeavesBefore(entry, list.entries[parent])) break;
    Place(list, position, list.entries[parent]);
    position = parent;
  }
  Place(list, position, entry);
}

void SiftDown(OpenList& list, uint32_t position, const OpenEntry& entry) {
  for (;;) {
    uint32_t child = 2 * position + 1;
    if (child >= list.size) break;
    if (child + 1 < list.size && LeavesBefore(list.entries[child + 1], list.entries[child]))
      ++child;
    if (!LeavesBefore(list.entries[child], entry)) break;
    Place(list, position, list.entries[child]);
    position = child;
  }
  Place(list, position, entry);
}

bool ResizeEntries(OpenList& list, uint32_t capacity) {
  if (capacity == list.capacity) return true;
  list.entries.reset();
  list.capacity = 0;
  if (capacity == 0) return true;
  // Left uninitialised, as are the positions: a large grid's search fills few of them.
  list.entries.reset(new (std::nothrow) OpenEntry[capacity]);
  if (!list.entries) return false;
  list.capacity = capacity;
  return true;
}

bool ResizePositions(OpenList& list, const NodeFactory& pool) {
  list.nodes = pool.nodes.get();
  if (pool.count == list.nodeCount) return true;
  list.positions.reset();
  list.nodeCount = 0;
  if (pool.count == 0) return true;
  list.positions.reset(new (std::nothrow) uint32_t[pool.count]);
  if (!list.positions) return false;
  list.nodeCount = pool.count;
  return true;
}

}  // namespace

bool OpenListResize(OpenList& list, uint32_t capacity, const NodeFactory& pool) {
  OpenListClear(list);
  if (ResizeEntries(list, capacity) && ResizePositions(list, pool)) return true;
  list.entries.reset();
  list.capacity = 0;
  return false;
}

void OpenListClear(OpenList& list) {
  list.size = 0;
}

bool OpenListPush(OpenList& list, Node* node) {
  if (list.size == list.capacity) return false;
  const auto index = static_cast<uint32_t>(node - list.nodes);
  ++list.size;
  SiftUp(list, list.size - 1, OpenEntry{node->f, index, ++list.queued});
  return true;
}

// The hole at the root sinks to a leaf along the children that leave first, and the last entry
// rises from there: it nearly always belongs near the bottom, so this compares about half as
// often as sifting it down from the root.
Node* OpenListPop(OpenList& list) {
  if (list.size == 0) return nullptr;
  Node* first = &list.nodes[list.entries[0].node];
  const OpenEntry last = list.entries[--list.size];
  uint32_t hole = 0;
  for (uint32_t child = 1; child < list.size; child = 2 * hole + 1) {
    if (child + 1 < list.size && LeavesBefore(list.entries[child + 1], list.entries[child]))
      ++child;
    Place(list, hole, list.entries[child]);
    hole = child;
  }
  if (list.size > 0) SiftUp(list, hole, last);
  return first;
}

void OpenListErase(OpenList& list, const Node* node) {
  const uint32_t position = list.positions[node - list.nodes];
  const OpenEntry last = list.entries[--list.size];
  if (position == list.size) return;
  // The last entry fills the hole from whichever side its key belongs.
  if (position > 0 && LeavesBefore(last, list.entries[(position - 1) / 2])) {
    SiftUp(list, position, last);
  } else {
    SiftDown(list, position, last);
  }
}

Node* OpenListAt(const OpenList& list, uint32_t i) {
  return &list.nodes[list.entries[i].node];
}
