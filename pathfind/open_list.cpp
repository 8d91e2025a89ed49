// The node search's open list over the heap of key_heap.h.
#include "pathfind/open_list.h"

#include <new>

namespace {

// Stores an entry and where its node now lies.
struct PlaceInList {
  OpenList& list;
  void operator()(uint32_t position, const OpenEntry& entry) const {
    list.entries[position] = entry;
    list.positions[entry.item] = position;
  }
};

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
  HeapSiftUp(list.entries.get(), list.size - 1, OpenEntry{node->f, index, ++list.queued},
             PlaceInList{list});
  return true;
}

Node* OpenListPop(OpenList& list) {
  if (list.size == 0) return nullptr;
  return &list.nodes[HeapPop(list.entries.get(), list.size, PlaceInList{list}).item];
}

void OpenListErase(OpenList& list, const Node* node) {
  HeapErase(list.entries.get(), list.size, list.positions[node - list.nodes], PlaceInList{list});
}

Node* OpenListAt(const OpenList& list, uint32_t i) {
  return &list.nodes[list.entries[i].item];
}
