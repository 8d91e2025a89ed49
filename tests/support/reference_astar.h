// A plain A* over flat per-cell arrays and a binary heap, written apart from the planner to check
// it. The heap orders by key, then by the time of the latest queueing, which is the order the
// planner's sorted open list gives; stale heap entries are skipped when popped.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <queue>
#include <utility>
#include <vector>

#include "pathfind/astar_planner.h"

struct ReferencePath {
  bool setUp = false;
  std::vector<std::pair<int32_t, int32_t>> cells;  // start to goal
  float cost = -1.0f;
  uint32_t closed = 0;
  uint64_t expansions = 0;
  uint32_t largestOpen = 0;
};

// The per-cell arrays, kept by a caller that searches again and again so that it times the
// search rather than fresh memory.
struct ReferenceWork {
  std::vector<float> cost;
  std::vector<float> g;
  std::vector<int64_t> parent;
  std::vector<uint8_t> state;
  std::vector<uint64_t> queuedAt;
};

inline ReferencePath ReferenceAStar(const PathRequest& r, ReferenceWork& work) {
  ReferencePath out;
  auto inside = [&](int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < r.width && y < r.height;
  };
  if (!inside(r.startX, r.startY) || !inside(r.goalX, r.goalY)) return out;
  if (r.startX == r.goalX && r.startY == r.goalY) return out;
  const size_t n = static_cast<size_t>(r.width) * r.height;

  std::vector<float>& cost = work.cost;
  cost.assign(n, 0.0f);
  float largest = 0.0f;
  for (size_t i = 0; i < n; ++i) {
    const float c = static_cast<float>(std::min(r.grid[i], double{FLT_MAX}));
    cost[i] = c > 0.0f ? c : -1.0f;
    largest = std::max(largest, cost[i]);
  }
  if (largest <= 0.0f) return out;
  for (float& c : cost) c = c > 0.0f ? c / largest + 1.0f : c;
  out.setUp = true;

  const float w = std::isnan(r.weight) ? 1.0f : std::clamp(r.weight, 0.0f, 1.0f);
  const float diagonal = r.diagonalCost ? 1.4142137f : 1.0f;
  enum : uint8_t { kNew, kOpen, kClosed };
  std::vector<float>& g = work.g;
  std::vector<int64_t>& parent = work.parent;
  std::vector<uint8_t>& state = work.state;
  std::vector<uint64_t>& queuedAt = work.queuedAt;
  g.assign(n, 0.0f);
  parent.assign(n, -1);
  state.assign(n, kNew);
  queuedAt.assign(n, 0);
  struct Entry {
    float f;
    uint64_t seq;
    size_t cell;
    bool operator>(const Entry& o) const { return f > o.f || (f == o.f && seq > o.seq); }
  };
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> heap;
  uint64_t seq = 0;
  uint32_t openCount = 0;
  auto queue = [&](size_t cell, float f) {
    if (state[cell] != kOpen) ++openCount;
    if (state[cell] == kClosed) --out.closed;
    state[cell] = kOpen;
    queuedAt[cell] = ++seq;
    heap.push({f, seq, cell});
    out.largestOpen = std::max(out.largestOpen, openCount);
  };

  const size_t start = static_cast<size_t>(r.startY) * r.width + r.startX;
  const size_t goal = static_cast<size_t>(r.goalY) * r.width + r.goalX;
  queue(start, 0.0f);
  constexpr int32_t kDx[] = {-1, 0, 1, 1, -1, -1, 0, 1};
  constexpr int32_t kDy[] = {-1, -1, -1, 0, 0, 1, 1, 1};
  bool found = false;
  while (!heap.empty()) {
    const Entry e = heap.top();
    heap.pop();
    if (state[e.cell] != kOpen || queuedAt[e.cell] != e.seq) continue;
    state[e.cell] = kClosed;
    --openCount;
    ++out.closed;
    if (e.cell == goal) {
      found = true;
      break;
    }
    ++out.expansions;
    const int32_t x = static_cast<int32_t>(e.cell % r.width);
    const int32_t y = static_cast<int32_t>(e.cell / r.width);
    for (int k = 0; k < 8; ++k) {
      const bool isDiagonal = kDx[k] != 0 && kDy[k] != 0;
      if (isDiagonal && !r.diagonalMoves) continue;
      const int32_t nx = x + kDx[k];
      const int32_t ny = y + kDy[k];
      if (!inside(nx, ny)) continue;
      const size_t c = static_cast<size_t>(ny) * r.width + nx;
      if (cost[c] == -1.0f) continue;
      const float step = isDiagonal ? cost[c] * diagonal : cost[c];
      const float gNew = g[e.cell] + step;
      if (state[c] != kNew && g[c] <= gNew) continue;
      const float h = static_cast<float>(std::abs(r.goalX - nx) + std::abs(r.goalY - ny));
      g[c] = gNew;
      parent[c] = static_cast<int64_t>(e.cell);
      queue(c, (h - gNew) * w + gNew);
    }
  }
  if (!found) return out;
  out.cost = g[goal];
  for (int64_t c = static_cast<int64_t>(goal); c >= 0; c = parent[c]) {
    out.cells.emplace_back(static_cast<int32_t>(c % r.width), static_cast<int32_t>(c / r.width));
  }
  std::reverse(out.cells.begin(), out.cells.end());
  return out;
}

inline ReferencePath ReferenceAStar(const PathRequest& r) {
  ReferenceWork work;
  return ReferenceAStar(r, work);
}
