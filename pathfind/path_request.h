// What the planner is asked: the grid, the two cells and the search's settings.
#pragma once

#include <cstdint>

struct PathRequest {
  int32_t startX = 0;
  int32_t startY = 0;
  int32_t goalX = 0;
  int32_t goalY = 0;
  bool diagonalCost = false;   // a diagonal step costs 1.4142137 times the cell's cost
  bool diagonalMoves = false;  // the four diagonal neighbours are searched
  // Searches over a record per cell (cell_search.h) instead of nodes, the closed table and
  // scans of the open list. A cell has at most one node at a time, so the search visits, finds
  // and orders exactly as without it.
  bool cellStates = false;
  uint32_t poolSize = 0;      // 0 = width x height
  uint32_t openCapacity = 0;  // 0 = width x height
  uint32_t hashBits = 0;
  float weight = 0;  // 0 orders by cost alone, 1 by the distance to the goal alone
  int32_t width = 0;
  int32_t height = 0;
  const double* grid = nullptr;  // width x height values, row by row
};
