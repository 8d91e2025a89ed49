// Set-up, the node search and read-outs of the A* planner.
#include "pathfind/astar_planner.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "pathfind/search_steps.h"

namespace {

size_t CellIndex(const PathRequest& r, int32_t x, int32_t y) {
  return static_cast<size_t>(y) * static_cast<size_t>(r.width) + static_cast<size_t>(x);
}

bool IsSetUp(const Planner& p) {
  return p.costMap && p.request.width > 0;
}

bool RequestIsUsable(const PathRequest& r) {
  if (!r.grid || !Inside(r, r.startX, r.startY) || !Inside(r, r.goalX, r.goalY)) return false;
  if (r.startX == r.goalX && r.startY == r.goalY) return false;
  return static_cast<uint64_t>(r.width) * static_cast<uint64_t>(r.height) <= UINT32_MAX;
}

// Values beyond the float range are held at its largest value, so the normalising division
// never meets infinity. Returns false when no cell is open.
bool BuildCostMap(const double* grid, size_t cells, float* map) {
  float largest = 0.0f;
  for (size_t i = 0; i < cells; ++i) {
    const float c = static_cast<float>(std::min(grid[i], static_cast<double>(FLT_MAX)));
    map[i] = c > 0.0f ? c : kBlocked;
    largest = std::max(largest, map[i]);
  }
  if (largest == 0.0f) return false;
  for (size_t i = 0; i < cells; ++i) {
    if (map[i] > 0.0f) map[i] = map[i] / largest + 1.0f;
  }
  return true;
}

// A set-up for as many cells as the last one keeps the map it made: on a large grid, fresh
// memory costs more than the search.
bool SizeCostMap(Planner& p, size_t cells) {
  if (p.mapCells == cells) return true;
  PlannerFreeCostMap(p);
  p.costMap = AllocateUninitialised<float>(cells);
  if (!p.costMap) return false;
  p.mapCells = cells;
  return true;
}

// The cell search stands in for the pool, the open list and the closed table: a grid's worth of
// each would only take address space from the search that runs. Its pool holds the path alone
// and is made when a path is found.
void FreeNodeSearch(Planner& p) {
  NodeFactoryFree(p.pool);
  OpenListResize(p.open, 0, p.pool);
  NodeHashTableSetBits(p.closed, 0);
}

bool SizeContainers(Planner& p, const PathRequest& r, uint32_t cells) {
  const uint32_t poolSize = r.poolSize ? r.poolSize : cells;
  const uint32_t openCapacity = r.openCapacity ? r.openCapacity : cells;
  if (r.cellStates) {
    FreeNodeSearch(p);
    return CellSearchResize(p.cells, cells, poolSize, openCapacity);
  }
  CellSearchFree(p.cells);
  if (!NodeFactoryReserve(p.pool, poolSize)) return false;
  if (!OpenListResize(p.open, openCapacity, p.pool)) return false;
  const uint32_t bitsWanted = std::min(r.hashBits, kNodeHashMaxBits) & ~1u;
  // The table is empty after PlannerClear: with the same bits there is nothing to clear again.
  if (p.closed.bits == bitsWanted) return true;
  return NodeHashTableSetBits(p.closed, r.hashBits) == bitsWanted;
}

float ClampWeight(float w) {
  if (std::isnan(w)) return 1.0f;
  return std::clamp(w, 0.0f, 1.0f);
}

// Queues the node with its new parent and costs. When the open list is full the node is kept in
// the closed table, so that it is still handed back with the others, and false ends the search.
bool Enqueue(Planner& p, Node* node, Node* parent, float g, float f) {
  node->parent = parent;
  node->g = g;
  node->f = f;
  if (OpenListPush(p.open, node)) return true;
  NodeHashTableInsert(p.closed, node);
  return false;
}

Node* ScanOpen(Planner& p, int32_t x, int32_t y) {
  for (uint32_t i = 0; i < p.open.size; ++i) {
    Node* n = OpenListAt(p.open, i);
    if (n->x == x && n->y == y) return n;
  }
  return nullptr;
}

// False when the pool or the open list ran out.
bool VisitNeighbour(Planner& p, Node* from, int32_t x, int32_t y, float factor) {
  const PathRequest& r = p.request;
  if (!Inside(r, x, y)) return true;
  const float c = p.costMap[CellIndex(r, x, y)];
  if (c == kBlocked) return true;
  const float g = from->g + c * factor;
  const float f = SearchKey(r, x, y, g);
  NodeHashIter it(p.closed);
  if (Node* known = NodeHashTableFind(it, x, y)) {
    if (known->g <= g) return true;
    NodeHashTableTakeFound(it);
    return Enqueue(p, known, from, g, f);
  }
  if (Node* known = ScanOpen(p, x, y)) {
    if (known->g <= g) return true;
    OpenListErase(p.open, known);
    return Enqueue(p, known, from, g, f);
  }
  Node* node = NodeFactoryTakeNode(p.pool);
  if (!node) return false;
  node->x = x;
  node->y = y;
  return Enqueue(p, node, from, g, f);
}

bool ExpandNode(Planner& p, Node* node, float diagonalFactor) {
  for (const Step& s : kSteps) {
    if (s.diagonal && !p.request.diagonalMoves) continue;
    const float factor = s.diagonal ? diagonalFactor : 1.0f;
    if (!VisitNeighbour(p, node, node->x + s.dx, node->y + s.dy, factor)) return false;
  }
  return true;
}

void SearchNodes(Planner& p) {
  const PathRequest& r = p.request;
  const float diagonalFactor = DiagonalFactor(r);
  while (Node* node = OpenListPop(p.open)) {
    if (node->x == r.goalX && node->y == r.goalY) {
      NodeHashTableInsert(p.closed, node);
      p.result = node;
      break;
    }
    const bool expanded = ExpandNode(p, node, diagonalFactor);
    NodeHashTableInsert(p.closed, node);
    // A pool or open list too small for the grid ends the search without a result, never with
    // a wrong path.
    if (!expanded) break;
  }
}

// The nodes handed out are exactly the cells the search reached, each in the open list or the
// closed table: emptying their buckets empties the table without walking every bucket of a
// large one, or a chain per bucket.
void EmptyReachedBuckets(Planner& p) {
  for (uint32_t i = 0; i < p.pool.used; ++i) {
    const Node& node = p.pool.nodes[i];
    NodeHashTableEmptyBucket(p.closed, node.x, node.y);
  }
}

}  // namespace

void Planner::Reset() {
  PlannerReset(*this);
}

void Planner::Clear() {
  PlannerClear(*this);
}

void AStarPlanner::Reset() {
  AStarPlannerReset(*this);
}

bool AStarPlanner::Search() {
  return AStarPlannerSearch(*this);
}

bool FindPath(Planner& planner, const PathRequest& request) {
  if (!RequestIsUsable(request)) return false;
  const uint32_t cells =
      static_cast<uint32_t>(request.width) * static_cast<uint32_t>(request.height);
  // The old nodes go back first: remaking the pool must not leave the lists pointing at them.
  PlannerClear(planner);
  planner.searchCount = 0;
  planner.request = PathRequest{};
  if (!SizeCostMap(planner, cells)) return false;
  if (!BuildCostMap(request.grid, cells, planner.costMap.get())) return false;
  if (!SizeContainers(planner, request, cells)) return false;
  planner.request = request;
  planner.request.weight = ClampWeight(request.weight);
  planner.searchDone = true;
  return true;
}

void PlannerReset(Planner& planner) {
  planner.searchDone = false;
  planner.searchCount = 0;
  planner.result = nullptr;
}

void AStarPlannerReset(AStarPlanner& planner) {
  if (!IsSetUp(planner)) return;
  // Nodes left by a search that was never cleared would mislead this one.
  PlannerClear(planner);
  PlannerReset(planner);
  if (CellSearchIsSized(planner.cells)) {
    CellSearchStart(planner.cells, planner.request);
    return;
  }
  Node* start = NodeFactoryTakeNode(planner.pool);
  if (!start) return;
  *start = Node{nullptr, planner.request.startX, planner.request.startY, 0.0f, 0.0f, nullptr};
  OpenListPush(planner.open, start);
}

bool AStarPlannerSearch(AStarPlanner& planner) {
  if (!IsSetUp(planner)) return true;
  ++planner.searchCount;
  if (!CellSearchIsSized(planner.cells)) {
    SearchNodes(planner);
  } else if (CellSearchRun(planner.cells, planner.request, planner.costMap.get())) {
    planner.result = CellSearchMakePath(planner.cells, planner.request, planner.pool);
  }
  planner.searchDone = true;
  return true;
}

void PlannerClear(Planner& planner) {
  // With no node out, both lists are empty, and a large table the search never reached is left
  // untouched. Handing back one node per open and per closed node hands back every node; the
  // cell search's nodes are those of its path alone.
  if (CellSearchIsSized(planner.cells)) {
    CellSearchClear(planner.cells);
  } else if (planner.pool.used > 0) {
    EmptyReachedBuckets(planner);
    OpenListClear(planner.open);
  }
  planner.pool.used = 0;
  planner.result = nullptr;
  planner.searchDone = true;
}

void PlannerFreeCostMap(Planner& planner) {
  planner.costMap.reset();
  CellSearchFree(planner.cells);
  planner.mapCells = 0;
  planner.searchCount = 0;
  planner.result = nullptr;
  planner.request = PathRequest{};
}

float PlannerPathCost(const Planner& planner) {
  return planner.result ? planner.result->g : -1.0f;
}

uint32_t PlannerPathLength(const Planner& planner) {
  uint32_t length = 0;
  for (const Node* n = planner.result; n; n = n->parent) ++length;
  return length;
}

uint32_t PlannerOpenCount(const Planner& planner) {
  return CellSearchIsSized(planner.cells) ? planner.cells.openSize : planner.open.size;
}

uint32_t PlannerNodeCount(const Planner& planner) {
  return CellSearchIsSized(planner.cells) ? planner.cells.closedCount
                                          : NodeHashTableCount(planner.closed);
}

uint32_t ScaledHashBits(int32_t width, int32_t height) {
  const uint64_t cells = static_cast<uint64_t>(std::max(width, 0)) * std::max(height, 0);
  uint32_t bits = 8;
  while (bits < kNodeHashMaxBits && (uint64_t{1} << bits) < cells) bits += 2;
  return bits;
}
