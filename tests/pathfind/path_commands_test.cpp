// The path command over the language's arrays, in its three forms.
#include "pathfind/path_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "tests/support/path_grids.h"
#include "tests/support/reference_astar.h"

namespace {

using Cells = std::vector<std::pair<int32_t, int32_t>>;

struct Array {
  DimArray a{};
  Array() = default;
  Array(const Array&) = delete;
  ~Array() { ArrayRelease(a); }
};

void FillNumbers(Array& grid, const CostGrid& costs) {
  ArrayDimNumber(grid.a, costs.width, costs.height, 0, 0);
  for (int32_t y = 0; y < costs.height; ++y) {
    for (int32_t x = 0; x < costs.width; ++x) {
      *ArrayNumberAt(grid.a, x, y) = costs.cells[static_cast<size_t>(y) * costs.width + x];
    }
  }
}

Cells PathCells(DimArray& path) {
  Cells cells;
  for (int32_t i = 0; i < path.size0; ++i)
    cells.emplace_back(*ArrayElementAt(path, i, 0), *ArrayElementAt(path, i, 1));
  return cells;
}

CostGrid Fours() {
  CostGrid grid{3, 3, std::vector<double>(9, 4.0)};
  grid.At(0, 1) = 2;
  return grid;
}

struct CommandCase {
  const char* name;
  CostGrid costs;
  double weight;
  int32_t sx, sy, gx, gy;
  Cells expected;
};

TEST(FindPathGrid, WritesTheCellsFromStartToGoal) {
  const CostGrid walled{3, 3, {1, 1, 1, 1, 0, 1, 1, 1, 1}};
  const CostGrid row{3, 1, {1, 1, 1}};
  const CostGrid rowWalledIn{3, 1, {1, 0, 1}};
  const Cells rightThenDown = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}};
  const CommandCase cases[] = {
      {"row", row, 0.5, 0, 0, 2, 0, {{0, 0}, {1, 0}, {2, 0}}},
      {"cheaper cell", Fours(), 0.5, 0, 0, 1, 1, {{0, 0}, {0, 1}, {1, 1}}},
      {"weight above 1 acts as 1", Fours(), 5, 0, 0, 1, 1, {{0, 0}, {1, 0}, {1, 1}}},
      {"NaN weight acts as 1", Fours(), NAN, 0, 0, 1, 1, {{0, 0}, {1, 0}, {1, 1}}},
      {"weight below 0 acts as 0", Fours(), -1, 0, 0, 1, 1, {{0, 0}, {0, 1}, {1, 1}}},
      {"orthogonal steps around a wall", walled, 0.5, 0, 0, 2, 2, rightThenDown},
      {"goal walled in", rowWalledIn, 0.5, 0, 0, 2, 0, {}},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    Array grid;
    Array path;
    FillNumbers(grid, c.costs);
    ArrayDimInt(path.a, 1, 0, 0, 0);  // replaced by the result
    const int32_t cells = FindPathGrid(grid.a, path.a, c.weight, c.sx, c.sy, c.gx, c.gy);
    EXPECT_EQ(cells, static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(path.a.size0, cells);
    EXPECT_EQ(path.a.size1, cells ? 2 : 0);
    EXPECT_EQ(PathCells(path.a), c.expected);

    Array numbers;
    EXPECT_EQ(FindPathToNumbers(grid.a, numbers.a, c.weight, c.sx, c.sy, c.gx, c.gy), cells);
    ASSERT_EQ(numbers.a.size0, cells);
    for (int32_t i = 0; i < cells; ++i) {
      EXPECT_EQ(*ArrayNumberAt(numbers.a, i, 0), c.expected[i].first);
      EXPECT_EQ(*ArrayNumberAt(numbers.a, i, 1), c.expected[i].second);
    }
  }
}

TEST(FindPathGrid, FailedSetUpLeavesTheIntegerPathAndEmptiesTheNumberPath) {
  Array grid;
  FillNumbers(grid, CostGrid{2, 2, {1, 1, 1, 1}});
  Array blocked;
  FillNumbers(blocked, CostGrid{2, 2, {0, -1, 0, 0}});
  struct Failing {
    DimArray* grid;
    int32_t sx, sy, gx, gy;
  };
  for (const Failing& f : {Failing{&grid.a, 1, 1, 1, 1}, Failing{&grid.a, 0, 0, 2, 0},
                           Failing{&grid.a, 0, -1, 1, 1}, Failing{&blocked.a, 0, 0, 1, 1}}) {
    Array path;
    ArrayDimInt(path.a, 1, 2, 0, 0);
    *ArrayElementAt(path.a, 0, 1) = 7;
    EXPECT_EQ(FindPathGrid(*f.grid, path.a, 0.5, f.sx, f.sy, f.gx, f.gy), 0);
    EXPECT_EQ(path.a.size0, 1);
    EXPECT_EQ(*ArrayElementAt(path.a, 0, 1), 7);

    Array numbers;
    ArrayDimNumber(numbers.a, 4, 2, 0, 0);
    EXPECT_EQ(FindPathToNumbers(*f.grid, numbers.a, 0.5, f.sx, f.sy, f.gx, f.gy), 0);
    EXPECT_EQ(numbers.a.size0, 0);
  }
}

TEST(FindPathGrid, AllFormsFollowTheReferenceOnAWideGrid) {
  GridLcg rng{777};
  const CostGrid costs = RandomCostGrid(rng, 40, 17, 0.25);
  Array grid;
  FillNumbers(grid, costs);
  Array ints;
  ArrayDimInt(ints.a, costs.width, costs.height, 0, 0);
  for (int32_t y = 0; y < costs.height; ++y) {
    for (int32_t x = 0; x < costs.width; ++x)
      *ArrayElementAt(ints.a, x, y) = static_cast<int32_t>(*ArrayNumberAt(grid.a, x, y));
  }
  int found = 0;
  for (int trial = 0; trial < 20; ++trial) {
    PathRequest r;
    r.startX = rng.Below(costs.width);
    r.startY = rng.Below(costs.height);
    r.goalX = rng.Below(costs.width);
    r.goalY = rng.Below(costs.height);
    r.diagonalCost = true;
    r.weight = 0.25f * (trial % 5);
    r.width = costs.width;
    r.height = costs.height;
    r.grid = costs.cells.data();
    const ReferencePath expected = ReferenceAStar(r);
    found += !expected.cells.empty();

    Array fromNumbers;
    Array fromInts;
    FindPathGrid(grid.a, fromNumbers.a, r.weight, r.startX, r.startY, r.goalX, r.goalY);
    FindPathFromInts(ints.a, fromInts.a, r.weight, r.startX, r.startY, r.goalX, r.goalY);
    EXPECT_EQ(PathCells(fromNumbers.a), expected.cells);
    EXPECT_EQ(PathCells(fromInts.a), expected.cells);
  }
  EXPECT_GT(found, 10);
}

}  // namespace
