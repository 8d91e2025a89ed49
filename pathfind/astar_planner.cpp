// Set-up, search and read-outs of the A* planner. Every cost and key is computed step by step in
// float, as the tie-breaks between equal paths depend on the exact bits.
#include "pathfind/astar_planner.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

constexpr float kBlocked = -1.0f;
// One step above the float nearest to the square root of 2: programs know path costs made with it.
constexpr float kDiagonalFactor = 1.4142137f;

struct Step {
  int32_t dx;
  int32_t dy;
  bool diagonal;
};
// The neighbour order decides which of several equal paths is found.
constexpr Step kSteps[] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                           {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};

bool Inside(const PathRequest& r, int32_t x, int32_t y) {
  return x >= 0 && x < r.width && y >= 0 && y < r.height;
}

size_t CellIndex(const PathRequest& r, int32_t x, int32_t y) {
  return static_cast<size_t>(y) * static_cast<size_t>(r.width) + static_cast<size_t>(x);
}

bool IsSetUp(const Planner& p) {
  return p.costMap && p.request.width > 0;
}

void MarkCell(Planner& p, const Node& node, CellState state) {
  if (p.cellStates) p.cellStates[CellIndex(p.request, node.x, node.y)] = state;
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

// A set-up for as many cells as the last one keeps the memory it made: on a large grid, fresh
// memory costs more than the search. After PlannerClear every cell state is kUnseen again.
bool SizeCellArrays(Planner& p, size_t cells, bool indexed) {
  if (p.mapCells != cells) {
    PlannerFreeCostMap(p);
    p.costMap.reset(new (std::nothrow) float[cells]);
    if (!p.costMap) return false;
    p.mapCells = cells;
  }
  if (!indexed) {
    p.cellStates.reset();
    p.cellCosts.reset();
    p.cellNodes.reset();
  } else {
    if (!p.cellStates) p.cellStates = AllocateZeroed<CellState>(cells);
    if (!p.cellCosts) p.cellCosts.reset(new (std::nothrow) float[cells]);
    if (!p.cellNodes) p.cellNodes.reset(new (std::nothrow) Node*[cells]);
  }
  return !indexed || (p.cellStates && p.cellCosts && p.cellNodes);
}

bool SizeContainers(Planner& p, const PathRequest& r, uint32_t cells) {
  if (!NodeFactoryReserve(p.pool, r.poolSize ? r.poolSize : cells)) return false;
  if (!OpenListResize(p.open, r.openCapacity ? r.openCapacity : cells, p.pool)) return false;
  const uint32_t bitsWanted = std::min(r.hashBits, kNodeHashMaxBits) & ~1u;
  // The table is empty after PlannerClear: with the same bits there is nothing to clear again.
  if (p.closed.bits == bitsWanted) return true;
  return NodeHashTableSetBits(p.closed, r.hashBits) == bitsWanted;
}

float ClampWeight(float w) {
  if (std::isnan(w)) return 1.0f;
  return std::clamp(w, 0.0f, 1.0f);
}

bool InsertOpen(Planner& p, Node* node) {
  if (!OpenListPush(p.open, node)) return false;
  if (!p.cellStates) return true;
  const size_t cell = CellIndex(p.request, node->x, node->y);
  p.cellStates[cell] = CellState::kOpen;
  p.cellCosts[cell] = node->g;
  p.cellNodes[cell] = node;
  return true;
}

void Close(Planner& p, Node* node) {
  NodeHashTableInsert(p.closed, node);
  MarkCell(p, *node, CellState::kClosed);
}

// Queues the node with its new parent and costs. When the open list is full the node is kept in
// the closed table, so that it is still handed back with the others, and false ends the search.
bool Enqueue(Planner& p, Node* node, Node* parent, float g, float f) {
  node->parent = parent;
  node->g = g;
  node->f = f;
  if (InsertOpen(p, node)) return true;
  Close(p, node);
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
bool VisitNeighbour(Planner& p, Node* from, int32_t x, int32_t y, float factor, float weight) {
  const PathRequest& r = p.request;
  if (!Inside(r, x, y)) return true;
  const size_t cell = CellIndex(r, x, y);
  const float c = p.costMap[cell];
  if (c == kBlocked) return true;
  const float g = from->g + c * factor;
  const float h = static_cast<float>(std::abs(r.goalX - x) + std::abs(r.goalY - y));
  const float f = (h - g) * weight + g;
  const bool indexed = p.cellStates != nullptr;
  const CellState state = indexed ? p.cellStates[cell] : CellState::kUnseen;
  // The cell's node is the one found below, so its cost decides without looking the node up.
  if (state != CellState::kUnseen && p.cellCosts[cell] <= g) return true;

  if (!indexed || state == CellState::kClosed) {
    NodeHashIter it(p.closed);
    if (Node* known = NodeHashTableFind(it, x, y)) {
      if (known->g <= g) return true;
      NodeHashTableTakeFound(it);
      return Enqueue(p, known, from, g, f);
    }
  }
  if (!indexed || state == CellState::kOpen) {
    if (Node* known = indexed ? p.cellNodes[cell] : ScanOpen(p, x, y)) {
      if (known->g <= g) return true;
      OpenListErase(p.open, known);
      return Enqueue(p, known, from, g, f);
    }
  }
  Node* node = NodeFactoryTakeNode(p.pool);
  if (!node) return false;
  node->x = x;
  node->y = y;
  return Enqueue(p, node, from, g, f);
}

bool ExpandNode(Planner& p, Node* node, float diagonalFactor, float weight) {
  for (const Step& s : kSteps) {
    if (s.diagonal && !p.request.diagonalMoves) continue;
    const float factor = s.diagonal ? diagonalFactor : 1.0f;
    if (!VisitNeighbour(p, node, node->x + s.dx, node->y + s.dy, factor, weight)) return false;
  }
  return true;
}

// The nodes handed out are exactly the cells the search reached, each in the open list or the
// closed table: emptying their states and their buckets empties the table without walking every
// bucket of a large one, or a chain per bucket.
void ForgetReachedCells(Planner& p) {
  for (uint32_t i = 0; i < p.pool.used; ++i) {
    const Node& node = p.pool.nodes[i];
    MarkCell(p, node, CellState::kUnseen);
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
  if (!SizeCellArrays(planner, cells, request.cellStates)) return false;
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
  Node* start = NodeFactoryTakeNode(planner.pool);
  if (!start) return;
  *start = Node{nullptr, planner.request.startX, planner.request.startY, 0.0f, 0.0f, nullptr};
  InsertOpen(planner, start);
}

bool AStarPlannerSearch(AStarPlanner& planner) {
  if (!IsSetUp(planner)) return true;
  ++planner.searchCount;
  const PathRequest& r = planner.request;
  const float diagonalFactor = r.diagonalCost ? kDiagonalFactor : 1.0f;
  while (Node* node = OpenListPop(planner.open)) {
    if (node->x == r.goalX && node->y == r.goalY) {
      Close(planner, node);
      planner.result = node;
      break;
    }
    const bool expanded = ExpandNode(planner, node, diagonalFactor, r.weight);
    Close(planner, node);
    // A pool or open list too small for the grid ends the search without a result, never with
    // a wrong path.
    if (!expanded) break;
  }
  planner.searchDone = true;
  return true;
}

void PlannerClear(Planner& planner) {
  // With no node out, both lists are empty, and a large table the search never reached is left
  // untouched. Handing back one node per open and per closed node hands back every node.
  if (planner.pool.used > 0) {
    ForgetReachedCells(planner);
    OpenListClear(planner.open);
    planner.pool.used = 0;
  }
  planner.result = nullptr;
  planner.searchDone = true;
}

void PlannerFreeCostMap(Planner& planner) {
  planner.costMap.reset();
  planner.cellStates.reset();
  planner.cellCosts.reset();
  planner.cellNodes.reset();
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
  return planner.open.size;
}

uint32_t PlannerNodeCount(const Planner& planner) {
  return NodeHashTableCount(planner.closed);
}

uint32_t ScaledHashBits(int32_t width, int32_t height) {
  const uint64_t cells = static_cast<uint64_t>(std::max(width, 0)) * std::max(height, 0);
  uint32_t bits = 8;
  while (bits < kNodeHashMaxBits && (uint64_t{1} << bits) < cells) bits += 2;
  return bits;
}
