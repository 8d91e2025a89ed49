// The planner against hand-checked paths, its guards, and a reference A* on random grids.
#include "pathfind/astar_planner.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <utility>
#include <vector>

#include "tests/support/path_grids.h"
#include "tests/support/reference_astar.h"

namespace {

using Cells = std::vector<std::pair<int32_t, int32_t>>;

struct PlannerRun {
  bool setUp = false;
  Cells cells;
  float cost = -1.0f;
  uint32_t closed = 0;
  uint32_t open = 0;

  bool operator==(const PlannerRun&) const = default;
};

PathRequest Request(const CostGrid& grid, int32_t sx, int32_t sy, int32_t gx, int32_t gy, float w) {
  PathRequest r;
  r.startX = sx;
  r.startY = sy;
  r.goalX = gx;
  r.goalY = gy;
  r.diagonalCost = true;
  r.hashBits = 8;
  r.weight = w;
  r.width = grid.width;
  r.height = grid.height;
  r.grid = grid.cells.data();
  return r;
}

PlannerRun PlanOnce(AStarPlanner& planner, const PathRequest& r) {
  PlannerRun run;
  run.setUp = FindPath(planner, r);
  if (!run.setUp) return run;
  planner.Reset();
  EXPECT_TRUE(planner.Search());
  for (const Node* n = planner.result; n; n = n->parent)
    run.cells.insert(run.cells.begin(), {n->x, n->y});
  EXPECT_EQ(run.cells.size(), PlannerPathLength(planner));
  run.cost = PlannerPathCost(planner);
  run.closed = PlannerNodeCount(planner);
  run.open = PlannerOpenCount(planner);
  planner.Clear();
  EXPECT_EQ(planner.pool.used, 0u);
  return run;
}

PlannerRun PlanOnce(const PathRequest& r) {
  AStarPlanner planner;
  return PlanOnce(planner, r);
}

CostGrid Filled(int32_t w, int32_t h, double value,
                std::vector<std::pair<int32_t, int32_t>> cells = {}, double cellValue = 0) {
  CostGrid grid{w, h, std::vector<double>(static_cast<size_t>(w) * h, value)};
  for (auto [x, y] : cells) grid.At(x, y) = cellValue;
  return grid;
}

struct Golden {
  const char* name;
  CostGrid grid;
  int32_t sx, sy, gx, gy;
  float weight;
  bool diagonalMoves;
  Cells path;
  float cost;
  uint32_t closed;
};

TEST(AStarPlanner, FindsTheHandCheckedPaths) {
  const CostGrid ones3x3 = Filled(3, 3, 1);
  const CostGrid dearMiddle = Filled(5, 3, 1, {{1, 1}, {2, 1}, {3, 1}}, 9);
  const CostGrid fours = Filled(3, 3, 4, {{0, 1}}, 2);
  const Cells around = {{0, 1}, {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}};
  const Cells rightThenDown = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
  const Cells overTheWall = {{0, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1}};
  const Cells straight = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}};
  const std::vector<Golden> cases = {
      {"row", Filled(3, 1, 1), 0, 0, 2, 0, 0.5f, false, {{0, 0}, {1, 0}, {2, 0}}, 4, 3},
      {"column", Filled(1, 2, 1), 0, 0, 0, 1, 0.5f, false, {{0, 0}, {0, 1}}, 2, 2},
      // "right" is generated before "down" and so popped first among equal keys
      {"ties w0", ones3x3, 0, 0, 2, 2, 0.0f, false, rightThenDown, 8, 9},
      {"ties w.5", ones3x3, 0, 0, 2, 2, 0.5f, false, rightThenDown, 8, 9},
      {"ties w1", ones3x3, 0, 0, 2, 2, 1.0f, false, rightThenDown, 8, 5},
      {"backwards", Filled(2, 2, 1), 1, 1, 0, 0, 0.5f, false, {{1, 1}, {1, 0}, {0, 0}}, 4, 4},
      {"around a wall", Filled(3, 3, 1, {{1, 1}}), 0, 1, 2, 1, 0.5f, false, overTheWall, 8, 8},
      {"cheaper cell", fours, 0, 0, 1, 1, 0.5f, false, {{0, 0}, {0, 1}, {1, 1}}, 3.5f, 4},
      {"greedy ignores cost", fours, 0, 0, 1, 1, 1.0f, false, {{0, 0}, {1, 0}, {1, 1}}, 4, 3},
      {"detour w0", dearMiddle, 0, 1, 4, 1, 0.0f, false, around, 6.666667f, 15},
      {"detour w.5", dearMiddle, 0, 1, 4, 1, 0.5f, false, around, 6.666667f, 14},
      {"greedy straight", dearMiddle, 0, 1, 4, 1, 1.0f, false, straight, 7.111111f, 5},
      {"goal blocked", Filled(3, 3, 1, {{2, 2}}), 0, 0, 2, 2, 0.5f, false, {}, -1, 8},
      {"diagonal", ones3x3, 0, 0, 2, 2, 0.5f, true, {{0, 0}, {1, 1}, {2, 2}}, 5.656855f, 5},
  };
  for (const Golden& c : cases) {
    SCOPED_TRACE(c.name);
    PathRequest r = Request(c.grid, c.sx, c.sy, c.gx, c.gy, c.weight);
    r.diagonalMoves = c.diagonalMoves;
    const PlannerRun run = PlanOnce(r);
    ASSERT_TRUE(run.setUp);
    EXPECT_EQ(run.cells, c.path);
    EXPECT_FLOAT_EQ(run.cost, c.cost);
    EXPECT_EQ(run.closed, c.closed);
  }
}

TEST(AStarPlanner, DiagonalFactorAndWeightLimits) {
  const CostGrid grid = Filled(3, 3, 1);
  PathRequest r = Request(grid, 0, 0, 2, 2, 5.0f);
  const PlannerRun overweight = PlanOnce(r);
  r.weight = 1.0f;
  EXPECT_EQ(PlanOnce(r).closed, overweight.closed);
  r.weight = -1.0f;
  const PlannerRun underweight = PlanOnce(r);
  r.weight = 0.0f;
  EXPECT_EQ(PlanOnce(r).closed, underweight.closed);
}

TEST(AStarPlanner, RefusesUnusableRequestsAndEndsWithoutAWrongPath) {
  const CostGrid ones = Filled(3, 3, 1);
  for (auto [sx, sy, gx, gy] : std::vector<std::tuple<int, int, int, int>>{
           {-1, 0, 2, 2}, {0, 3, 2, 2}, {0, 0, 3, 2}, {0, 0, 2, -1}, {1, 1, 1, 1}}) {
    EXPECT_FALSE(PlanOnce(Request(ones, sx, sy, gx, gy, 0.5f)).setUp);
  }
  EXPECT_FALSE(PlanOnce(Request(Filled(3, 3, 0), 0, 0, 2, 2, 0.5f)).setUp);
  EXPECT_FALSE(PlanOnce(Request(Filled(3, 3, -2), 0, 0, 2, 2, 0.5f)).setUp);
  EXPECT_FALSE(PlanOnce(Request(Filled(3, 3, NAN), 0, 0, 2, 2, 0.5f)).setUp);

  // Pools and open lists too small for the grid: no result, and every node handed back.
  PathRequest tinyPool = Request(ones, 0, 0, 2, 2, 0.5f);
  tinyPool.poolSize = 1;
  const PlannerRun starved = PlanOnce(tinyPool);
  EXPECT_TRUE(starved.setUp);
  EXPECT_TRUE(starved.cells.empty());
  EXPECT_EQ(starved.cost, -1.0f);
  PathRequest tinyOpen = Request(ones, 0, 0, 2, 2, 0.5f);
  tinyOpen.openCapacity = 1;
  EXPECT_TRUE(PlanOnce(tinyOpen).cells.empty());

  // A cell count beyond 32 bits is refused before any cell is read.
  PathRequest vast = Request(ones, 0, 0, 1, 1, 0.5f);
  vast.width = 65536;
  vast.height = 65537;
  EXPECT_FALSE(PlanOnce(vast).setUp);

  // Values beyond the float range still give finite costs.
  const CostGrid huge = Filled(3, 1, 1, {{1, 0}}, 1e300);
  const PlannerRun hugeRun = PlanOnce(Request(huge, 0, 0, 2, 0, 0.5f));
  EXPECT_FALSE(std::isnan(hugeRun.cost));
  EXPECT_FLOAT_EQ(hugeRun.cost, 3.0f);

  AStarPlanner idle;
  idle.Reset();
  EXPECT_TRUE(idle.Search());
  EXPECT_EQ(PlannerPathLength(idle), 0u);
  EXPECT_EQ(PlannerPathCost(idle), -1.0f);
}

TEST(AStarPlanner, RepeatedSearchesWithoutClearingGiveTheSameResult) {
  const CostGrid grid = Filled(4, 4, 1, {{1, 1}, {2, 1}});
  AStarPlanner planner;
  ASSERT_TRUE(FindPath(planner, Request(grid, 0, 0, 3, 3, 0.5f)));
  planner.Reset();
  planner.Search();
  const float cost = PlannerPathCost(planner);
  const uint32_t closed = PlannerNodeCount(planner);
  planner.Reset();
  planner.Search();
  EXPECT_EQ(PlannerPathCost(planner), cost);
  EXPECT_EQ(PlannerNodeCount(planner), closed);
  // A new set-up while nodes are still out.
  ASSERT_TRUE(FindPath(planner, Request(grid, 3, 3, 0, 0, 0.5f)));
  EXPECT_EQ(planner.pool.used, 0u);
}

struct Variant {
  bool scaledBits;
  bool cellStates;
};

TEST(AStarPlanner, MatchesTheReferenceOnRandomGrids) {
  GridLcg rng{12345};
  const float weights[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  // Two indexed runs in a row, so the second reuses the cell table the first has cleared.
  const Variant variants[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  AStarPlanner planner;  // reused, as set-ups must not leak between requests
  int found = 0;
  for (int i = 0; i < 2400; ++i) {
    const int32_t w = 1 + rng.Below(24);
    const int32_t h = 1 + rng.Below(24);
    CostGrid grid = RandomCostGrid(rng, w, h, rng.Unit() * 0.4);
    if (i % 2) {
      for (double& c : grid.cells) c = c > 0 ? rng.Unit() * 100 : c;  // costs without ties
    }
    PathRequest r =
        Request(grid, rng.Below(w), rng.Below(h), rng.Below(w), rng.Below(h), weights[i % 5]);
    r.diagonalCost = (i / 5) % 2;
    r.diagonalMoves = (i / 10) % 2;
    const ReferencePath expected = ReferenceAStar(r);
    found += !expected.cells.empty();
    for (const Variant& v : variants) {
      SCOPED_TRACE(testing::Message()
                   << "grid " << i << " scaled " << v.scaledBits << " states " << v.cellStates);
      r.hashBits = v.scaledBits ? ScaledHashBits(w, h) : 8;
      r.cellStates = v.cellStates;
      const PlannerRun run = PlanOnce(planner, r);
      ASSERT_EQ(run.setUp, expected.setUp);
      ASSERT_EQ(run.cells, expected.cells);
      ASSERT_EQ(std::bit_cast<uint32_t>(run.cost), std::bit_cast<uint32_t>(expected.cost));
      ASSERT_EQ(run.closed, expected.closed);
    }
  }
  EXPECT_GT(found, 1000);  // the comparison mostly covers found paths, not only refusals
}

// A pool or an open list too small for the grid ends the search over cell records where it ends
// the search over nodes: the same cells closed and still open, and no path.
TEST(AStarPlanner, CellRecordsRunOutWhereNodesRunOut) {
  GridLcg rng{777};
  AStarPlanner nodes;
  AStarPlanner cells;
  int starved = 0;
  for (int i = 0; i < 900; ++i) {
    const int32_t w = 2 + rng.Below(16);
    const int32_t h = 1 + rng.Below(16);
    const CostGrid grid = RandomCostGrid(rng, w, h, rng.Unit() * 0.3);
    PathRequest r = Request(grid, 0, 0, w - 1, h - 1, static_cast<float>(i % 3) * 0.5f);
    r.diagonalMoves = i % 2;
    // Either limit alone, or both.
    const int limits = 1 + (i / 3) % 3;
    if (limits & 1) r.poolSize = static_cast<uint32_t>(1 + rng.Below(w * h));
    if (limits & 2) r.openCapacity = static_cast<uint32_t>(1 + rng.Below(w + h));
    SCOPED_TRACE(testing::Message() << "grid " << i);
    const PlannerRun byNodes = PlanOnce(nodes, r);
    r.cellStates = true;
    r.hashBits = ScaledHashBits(w, h);
    const PlannerRun byCells = PlanOnce(cells, r);
    ASSERT_EQ(byCells, byNodes);
    starved += byNodes.cells.empty() && byNodes.closed > 0;
  }
  EXPECT_GT(starved, 400);  // most runs end on a limit, not on the goal
}

// A request with cell states reserves the cell search alone: the node search's pool, open list and
// closed table, a grid's worth each, are given back, and the pool holds the path's nodes.
TEST(AStarPlanner, CellStatesReserveNothingOfTheNodeSearch) {
  const CostGrid field = OpenField(64, 48);
  AStarPlanner planner;
  PathRequest r = Request(field, 0, 0, 63, 47, 0.5f);
  ASSERT_TRUE(FindPath(planner, r));  // a node search first, whose containers must go
  r.cellStates = true;
  r.hashBits = ScaledHashBits(64, 48);
  ASSERT_TRUE(FindPath(planner, r));
  EXPECT_EQ(planner.pool.count, 0u);
  EXPECT_EQ(planner.open.capacity, 0u);
  EXPECT_EQ(NodeHashTableBucketCount(planner.closed), 1u);
  planner.Reset();
  planner.Search();
  EXPECT_EQ(PlannerPathLength(planner), 64u + 48u - 1u);
  EXPECT_EQ(planner.pool.count, PlannerPathLength(planner));
}

// On fields of one cost nearly every key ties, so the path, the cost and the nodes closed all
// follow the order in which equal keys leave the open list: first queued, first expanded.
TEST(AStarPlanner, EqualKeysLeaveTheOpenListInTheOrderTheyCame) {
  const CostGrid field = OpenField(48, 40);
  for (const float weight : {0.0f, 0.5f, 1.0f}) {
    for (const int32_t diagonal : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "weight " << weight << " diagonal " << diagonal);
      PathRequest r = Request(field, 3, 37, 44, 2, weight);
      r.diagonalCost = r.diagonalMoves = diagonal;
      const ReferencePath expected = ReferenceAStar(r);
      const PlannerRun run = PlanOnce(r);
      EXPECT_EQ(run.cells, expected.cells);
      EXPECT_EQ(std::bit_cast<uint32_t>(run.cost), std::bit_cast<uint32_t>(expected.cost));
      EXPECT_EQ(run.closed, expected.closed);
    }
  }
}

TEST(AStarPlanner, ScalesHashBitsToTheGrid) {
  EXPECT_EQ(ScaledHashBits(3, 3), 8u);
  EXPECT_EQ(ScaledHashBits(16, 16), 8u);
  EXPECT_EQ(ScaledHashBits(17, 16), 10u);
  EXPECT_EQ(ScaledHashBits(1024, 1024), 20u);
  EXPECT_EQ(ScaledHashBits(1000, 1000), 20u);
  EXPECT_EQ(ScaledHashBits(8192, 8192), 24u);
}

}  // namespace
