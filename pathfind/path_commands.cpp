// The path command over the language's arrays, with one planner kept for every call.
#include "pathfind/path_commands.h"

#include "pathfind/astar_planner.h"

namespace {

// Orthogonal moves only. The closed table is sized to the grid and every cell's state is
// indexed, so large grids are searched in time proportional to their cells and the open list;
// the path found is the same as with the smallest table.
PathRequest CommandRequest(DimArray& grid, double weight, int32_t startX, int32_t startY,
                           int32_t goalX, int32_t goalY) {
  PathRequest r;
  r.startX = startX;
  r.startY = startY;
  r.goalX = goalX;
  r.goalY = goalY;
  r.diagonalCost = true;
  r.diagonalMoves = false;
  r.cellStates = true;
  r.hashBits = ScaledHashBits(grid.size0, grid.size1);
  r.weight = static_cast<float>(MaxDouble(0.0, MinDouble(weight, 1.0)));
  r.width = grid.size0;
  r.height = grid.size1;
  r.grid = static_cast<const double*>(grid.data);
  return r;
}

// One planner serves every call, idle between calls. A program that searches its grid again and
// again reuses the planner's memory: on a large grid, fresh memory costs more than the search.
AStarPlanner& CommandPlanner() {
  static AStarPlanner planner;
  return planner;
}

// The result's parent chain runs from the goal back to the start.
void WritePath(const Node* goal, int32_t cells, DimArray& path) {
  ArrayDimInt(path, cells, 2, 0, 0);
  int32_t i = cells;
  for (const Node* n = goal; n; n = n->parent) {
    --i;
    *ArrayElementAt(path, i, 0) = n->x;
    *ArrayElementAt(path, i, 1) = n->y;
  }
}

}  // namespace

int32_t FindPathGrid(DimArray& grid, DimArray& path, double weight, int32_t startX, int32_t startY,
                     int32_t goalX, int32_t goalY) {
  AStarPlanner& planner = CommandPlanner();
  if (!FindPath(planner, CommandRequest(grid, weight, startX, startY, goalX, goalY))) return 0;
  planner.Reset();
  planner.Search();
  const int32_t cells = static_cast<int32_t>(PlannerPathLength(planner));
  if (cells == 0) {
    ArrayDimInt(path, 0, 0, 0, 0);
  } else {
    WritePath(planner.result, cells, path);
  }
  planner.Clear();
  return cells;
}

int32_t FindPathToNumbers(DimArray& grid, DimArray& path, double weight, int32_t startX,
                          int32_t startY, int32_t goalX, int32_t goalY) {
  DimArray cellsFound{};
  const int32_t cells = FindPathGrid(grid, cellsFound, weight, startX, startY, goalX, goalY);
  ArrayDimNumber(path, cells, 2, 0, 0);
  for (int32_t i = 0; i < cells; ++i) {
    for (int32_t k = 0; k < 2; ++k) *ArrayNumberAt(path, i, k) = *ArrayElementAt(cellsFound, i, k);
  }
  ArrayRelease(cellsFound);
  return cells;
}

int32_t FindPathFromInts(DimArray& grid, DimArray& path, double weight, int32_t startX,
                         int32_t startY, int32_t goalX, int32_t goalY) {
  DimArray costs{};
  ArrayDimNumber(costs, grid.size0, grid.size1, 0, 0);
  for (int32_t y = 0; y < grid.size1; ++y) {
    for (int32_t x = 0; x < grid.size0; ++x)
      *ArrayNumberAt(costs, x, y) = *ArrayElementAt(grid, x, y);
  }
  const int32_t cells = FindPathGrid(costs, path, weight, startX, startY, goalX, goalY);
  ArrayRelease(costs);
  return cells;
}
