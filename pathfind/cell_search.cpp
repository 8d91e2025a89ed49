// The cell search: records indexed by cell, the open list a heap of cell indices whose positions
// live in the records.
#include "pathfind/cell_search.h"

#include <algorithm>

#include "pathfind/search_steps.h"

namespace {

// Stores an entry and where its cell now lies.
struct PlaceInRecords {
  CellSearch& search;
  void operator()(uint32_t position, const OpenEntry& entry) const {
    search.open[position] = entry;
    search.records[entry.item].slot = position + 1;
  }
};

template <typename T>
bool Resize(LargeArray<T>& array, size_t& size, size_t wanted, bool zeroed) {
  if (array && size == wanted) return true;
  array.reset();
  size = 0;
  array = zeroed ? AllocateZeroed<T>(wanted) : AllocateUninitialised<T>(wanted);
  if (!array) return false;
  size = wanted;
  return true;
}

bool Push(CellSearch& search, uint32_t cell, float f) {
  if (search.openSize == search.openCapacity) return false;
  ++search.openSize;
  HeapSiftUp(search.open.get(), search.openSize - 1, OpenEntry{f, cell, ++search.queued},
             PlaceInRecords{search});
  return true;
}

void Close(CellSearch& search, CellRecord& record) {
  record.slot = kClosedSlot;
  ++search.closedCount;
}

// Queues the cell with its new cost, or moves its entry when it is queued already. When the open
// list is full the cell counts as closed, as the node search keeps such a node in its closed
// table, and false ends the search.
bool Enqueue(CellSearch& search, uint32_t cell, float f) {
  CellRecord& record = search.records[cell];
  if (record.slot != 0 && record.slot != kClosedSlot) {
    HeapPlaceAt(search.open.get(), search.openSize, record.slot - 1,
                OpenEntry{f, cell, ++search.queued}, PlaceInRecords{search});
    return true;
  }
  if (record.slot == kClosedSlot) --search.closedCount;
  if (Push(search, cell, f)) return true;
  Close(search, record);
  return false;
}

// False when the pool or the open list ran out.
bool VisitNeighbour(CellSearch& search, const PathRequest& r, const float* costMap,
                    uint32_t from, int32_t x, int32_t y, uint32_t stepIndex, float factor) {
  const Step& s = kSteps[stepIndex];
  const int32_t nx = x + s.dx;
  const int32_t ny = y + s.dy;
  if (!Inside(r, nx, ny)) return true;
  const auto cell = static_cast<uint32_t>(from + s.dy * r.width + s.dx);
  const float c = costMap[cell];
  if (c == kBlocked) return true;
  const float g = search.records[from].g + c * factor;
  CellRecord& record = search.records[cell];
  if (record.slot != 0 && record.g <= g) return true;
  if (record.slot == 0) {
    if (search.reachedCount == search.reachLimit) return false;
    search.reached[search.reachedCount++] = cell;
  }
  record.g = g;
  record.step = stepIndex & 7u;
  return Enqueue(search, cell, SearchKey(r, nx, ny, g));
}

struct CellPlace {
  int32_t x, y;
};

CellPlace PlaceOf(const PathRequest& r, uint32_t cell) {
  return {static_cast<int32_t>(cell % static_cast<uint32_t>(r.width)),
          static_cast<int32_t>(cell / static_cast<uint32_t>(r.width))};
}

bool ExpandCell(CellSearch& search, const PathRequest& r, const float* costMap, uint32_t cell,
                float diagonalFactor) {
  const auto [x, y] = PlaceOf(r, cell);
  for (uint32_t k = 0; k < std::size(kSteps); ++k) {
    if (kSteps[k].diagonal && !r.diagonalMoves) continue;
    const float factor = kSteps[k].diagonal ? diagonalFactor : 1.0f;
    if (!VisitNeighbour(search, r, costMap, cell, x, y, k, factor)) return false;
  }
  return true;
}

uint32_t CellOf(const PathRequest& r, int32_t x, int32_t y) {
  return static_cast<uint32_t>(y) * static_cast<uint32_t>(r.width) + static_cast<uint32_t>(x);
}

// The pool holds the path's nodes alone; it grows to the longest path asked for, and only while
// none of its nodes is out.
bool RoomForPath(NodeFactory& pool, uint32_t length) {
  if (pool.count - pool.used >= length) return true;
  return pool.used == 0 && NodeFactoryReserve(pool, length);
}

uint32_t ParentOf(const CellSearch& search, const PathRequest& r, uint32_t cell) {
  const Step& s = kSteps[search.records[cell].step];
  return static_cast<uint32_t>(cell - s.dy * r.width - s.dx);
}

}  // namespace

bool CellSearchResize(CellSearch& search, size_t cells, uint32_t reachLimit,
                      uint32_t openCapacity) {
  CellSearchClear(search);
  if (Resize(search.records, search.cellCount, cells, true) &&
      Resize(search.reached, search.reachLimit, reachLimit, false) &&
      Resize(search.open, search.openCapacity, std::min(openCapacity, kCellOpenLimit), false))
    return true;
  CellSearchFree(search);
  return false;
}

void CellSearchFree(CellSearch& search) {
  search = CellSearch{};
}

void CellSearchClear(CellSearch& search) {
  for (uint32_t i = 0; i < search.reachedCount; ++i) search.records[search.reached[i]] = {};
  search.reachedCount = 0;
  search.openSize = 0;
  search.closedCount = 0;
}

void CellSearchStart(CellSearch& search, const PathRequest& r) {
  CellSearchClear(search);
  const uint32_t start = CellOf(r, r.startX, r.startY);
  search.reached[search.reachedCount++] = start;
  search.records[start].g = 0.0f;
  Push(search, start, 0.0f);
}

bool CellSearchRun(CellSearch& search, const PathRequest& r, const float* costMap) {
  const float diagonalFactor = DiagonalFactor(r);
  const uint32_t goal = CellOf(r, r.goalX, r.goalY);
  while (search.openSize > 0) {
    const uint32_t cell = HeapPop(search.open.get(), search.openSize, PlaceInRecords{search}).item;
    Close(search, search.records[cell]);
    if (cell == goal) return true;
    // A pool or open list too small for the grid ends the search without a result, never with
    // a wrong path.
    if (!ExpandCell(search, r, costMap, cell, diagonalFactor)) return false;
  }
  return false;
}

Node* CellSearchMakePath(const CellSearch& search, const PathRequest& r, NodeFactory& pool) {
  const uint32_t start = CellOf(r, r.startX, r.startY);
  uint32_t length = 1;
  for (uint32_t c = CellOf(r, r.goalX, r.goalY); c != start; c = ParentOf(search, r, c)) ++length;
  if (!RoomForPath(pool, length)) return nullptr;
  Node* const first = &pool.nodes[pool.used];
  pool.used += length;
  for (uint32_t i = length, c = CellOf(r, r.goalX, r.goalY); i-- > 0; c = ParentOf(search, r, c)) {
    const auto [x, y] = PlaceOf(r, c);
    const float g = search.records[c].g;
    first[i] = Node{nullptr, x, y, SearchKey(r, x, y, g), g, nullptr};
  }
  for (uint32_t i = 1; i < length; ++i) first[i].parent = &first[i - 1];
  return &first[length - 1];
}
