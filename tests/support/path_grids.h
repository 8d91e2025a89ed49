// Cost grids for the planner's tests and benchmarks, drawn from a small LCG so that every
// standard library sees the same grids.
#pragma once

#include <cstdint>
#include <vector>

struct GridLcg {
  uint32_t state;

  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  // 0 to n - 1.
  int32_t Below(int32_t n) { return static_cast<int32_t>(Next() % static_cast<uint32_t>(n)); }
  // [0, 1).
  double Unit() { return Next() / 16777216.0; }
};

struct CostGrid {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<double> cells;  // row by row

  double& At(int32_t x, int32_t y) { return cells[static_cast<size_t>(y) * width + x]; }
};

// Whole costs 1 to 9, with the given share of cells blocked (0 or a negative value).
inline CostGrid RandomCostGrid(GridLcg& rng, int32_t width, int32_t height, double blockedShare) {
  CostGrid grid{width, height, std::vector<double>(static_cast<size_t>(width) * height)};
  for (double& c : grid.cells) {
    c = rng.Unit() < blockedShare ? -rng.Below(2) : 1 + rng.Below(9);
  }
  return grid;
}

// A wall on every odd row but the last, each with one random gap, so a path from the top row
// to the bottom row winds back and forth across the grid.
inline CostGrid MazeGrid(GridLcg& rng, int32_t width, int32_t height) {
  CostGrid grid{width, height, std::vector<double>(static_cast<size_t>(width) * height, 1.0)};
  for (int32_t y = 1; y < height - 1; y += 2) {
    const int32_t gap = rng.Below(width);
    for (int32_t x = 0; x < width; ++x) grid.At(x, y) = x == gap ? 1.0 : 0.0;
  }
  return grid;
}

inline CostGrid OpenField(int32_t width, int32_t height) {
  return CostGrid{width, height, std::vector<double>(static_cast<size_t>(width) * height, 1.0)};
}
