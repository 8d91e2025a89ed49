// The path command in its three forms: a cost grid given as an array, grid(x, y) with x the first
// index; a value above 0 is an open cell's cost, 0 or below a blocked cell. The path array becomes
// (cells, 2), element (i, 0) the x and (i, 1) the y of the i-th cell from start to goal.
#pragma once

#include <cstdint>

#include "core/dim_array.h"

// Each returns the number of path cells, 0 when there is none. When start or goal lie outside
// the grid, are the same cell, or no cell is open, the integer path array is left as it was;
// when no path joins them it is emptied.
int32_t FindPathGrid(DimArray& grid, DimArray& path, double weight, int32_t startX, int32_t startY,
                     int32_t goalX, int32_t goalY);
// The number path array is emptied in every case without a path.
int32_t FindPathToNumbers(DimArray& grid, DimArray& path, double weight, int32_t startX,
                          int32_t startY, int32_t goalX, int32_t goalY);
int32_t FindPathFromInts(DimArray& grid, DimArray& path, double weight, int32_t startX,
                         int32_t startY, int32_t goalX, int32_t goalY);
