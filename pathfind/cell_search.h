// The search of requests that index their cells: one 8-byte record per cell takes the place of a
// node, a node pointer, a closed-table entry, a cost copy and a heap position. A reached cell
// costs its record and its place in the list of reached cells, and nodes are made only for the
// path found. It visits, queues and closes exactly as the node search does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pathfind/key_heap.h"
#include "pathfind/large_array.h"
#include "pathfind/node_factory.h"
#include "pathfind/path_request.h"

struct CellRecord {
  float g;            // valid once the cell is reached
  uint32_t slot : 29;  // 0 = not reached, kClosedSlot, or the open-list position + 1
  uint32_t step : 3;   // the step that reached the cell from its parent, an index in kSteps
};

inline constexpr uint32_t kClosedSlot = (1u << 29) - 1;
// Open-list positions must fit a record's slot below kClosedSlot.
inline constexpr uint32_t kCellOpenLimit = kClosedSlot - 1;

struct CellSearch {
  LargeArray<CellRecord> records;  // all zero while no cell is reached
  size_t cellCount = 0;
  LargeArray<uint32_t> reached;  // the cells in the order the search reached them
  size_t reachLimit = 0;         // the request's pool size: one node per cell reached
  uint32_t reachedCount = 0;
  LargeArray<OpenEntry> open;  // the heap of key_heap.h over cell indices
  size_t openCapacity = 0;
  uint32_t openSize = 0;
  uint64_t queued = 0;
  uint32_t closedCount = 0;
};

// Empties the search and sizes it for a grid, a pool and an open list, keeping what already has
// its size; false when memory runs out. The open list holds at most kCellOpenLimit cells.
bool CellSearchResize(CellSearch& search, size_t cells, uint32_t reachLimit,
                      uint32_t openCapacity);
void CellSearchFree(CellSearch& search);
inline bool CellSearchIsSized(const CellSearch& search) {
  return search.records != nullptr;
}
// Every reached cell unreached again; both lists empty.
void CellSearchClear(CellSearch& search);
void CellSearchStart(CellSearch& search, const PathRequest& r);
// Runs to the end; true when the goal was reached. False also when the pool or the open list
// ran out.
bool CellSearchRun(CellSearch& search, const PathRequest& r, const float* costMap);
// The path's nodes from the pool, start to goal, the pool grown for them when none of its nodes
// is out; returns the goal's node, none when the pool has no room for them.
Node* CellSearchMakePath(const CellSearch& search, const PathRequest& r, NodeFactory& pool);
