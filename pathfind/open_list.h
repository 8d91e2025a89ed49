// The open list of the planner's node search: a binary heap of fixed capacity over the nodes of
// one pool, handing nodes out in the order of key_heap.h.
#pragma once

#include <cstdint>
#include <memory>

#include "pathfind/key_heap.h"
#include "pathfind/node_factory.h"

struct OpenList {
  std::unique_ptr<OpenEntry[]> entries;  // entries[0] leaves next; items are pool indices
  uint32_t capacity = 0;
  uint32_t size = 0;
  uint64_t queued = 0;
  Node* nodes = nullptr;  // the pool's block
  // Per pool node, where its entry lies while it is queued. Nodes made one after the other sit
  // side by side here, so moving entries of a search's frontier stays within a few cache lines.
  std::unique_ptr<uint32_t[]> positions;
  uint32_t nodeCount = 0;

  OpenList() = default;
  OpenList(const OpenList&) = delete;
  OpenList& operator=(const OpenList&) = delete;
};

// Empties the list and gives it room for capacity entries over the pool's nodes (keeping the
// room it has when the sizes are the same); false when memory runs out (capacity 0 then).
bool OpenListResize(OpenList& list, uint32_t capacity, const NodeFactory& pool);
void OpenListClear(OpenList& list);
// False, with nothing queued, when the list is full. The node must be the pool's.
bool OpenListPush(OpenList& list, Node* node);
// The node with the lowest key, queued first among equal keys, taken off; none when empty.
Node* OpenListPop(OpenList& list);
// Takes a queued node off.
void OpenListErase(OpenList& list, const Node* node);
// The queued nodes in no particular order, i below the size.
Node* OpenListAt(const OpenList& list, uint32_t i);
