// What the node search and the cell search share: the cost map's mark for blocked cells, the
// neighbour order and the key. Every cost and key is computed step by step in float, as the
// tie-breaks between equal paths depend on the exact bits.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "pathfind/path_request.h"

inline constexpr float kBlocked = -1.0f;

struct Step {
  int32_t dx;
  int32_t dy;
  bool diagonal;
};
// The neighbour order decides which of several equal paths is found.
inline constexpr Step kSteps[] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                                  {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};

// One step above the float nearest to the square root of 2: programs know path costs made with it.
inline float DiagonalFactor(const PathRequest& r) {
  return r.diagonalCost ? 1.4142137f : 1.0f;
}

inline bool Inside(const PathRequest& r, int32_t x, int32_t y) {
  return x >= 0 && x < r.width && y >= 0 && y < r.height;
}

// W x h + (1 - W) x g, with h the Manhattan distance to the goal.
inline float SearchKey(const PathRequest& r, int32_t x, int32_t y, float g) {
  const float h = static_cast<float>(std::abs(r.goalX - x) + std::abs(r.goalY - y));
  return (h - g) * r.weight + g;
}
