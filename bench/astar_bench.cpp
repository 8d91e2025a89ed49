// The path command and its planner against the heap-based reference on the same grids, in the
// same run.
#include <benchmark/benchmark.h>

#include <bit>
#include <cstring>
#include <map>
#include <utility>

#include "bench/side_by_side.h"
#include "core/dim_array.h"
#include "pathfind/astar_planner.h"
#include "pathfind/path_commands.h"
#include "tests/support/path_grids.h"
#include "tests/support/reference_astar.h"

namespace {

enum GridKind : int64_t { kRandomCosts, kMaze, kOpenField };
const char* const kKindNames[] = {"random", "maze", "open"};
const float kWeights[] = {0.0f, 0.5f, 1.0f};

// Random costs keep a clear square at each corner so start and goal are never walled in.
CostGrid CornersCleared(CostGrid grid) {
  for (int32_t d = 0; d < 3; ++d) {
    for (int32_t e = 0; e < 3; ++e) {
      grid.At(d, e) = 1;
      grid.At(grid.width - 1 - d, grid.height - 1 - e) = 1;
    }
  }
  return grid;
}

CostGrid MakeGrid(GridKind kind, int32_t side) {
  GridLcg rng{static_cast<uint32_t>(side) * 7919u + static_cast<uint32_t>(kind)};
  if (kind == kOpenField) return OpenField(side, side);
  if (kind == kMaze) return MazeGrid(rng, side, side);
  return CornersCleared(RandomCostGrid(rng, side, side, 0.22));
}

const CostGrid& CachedGrid(GridKind kind, int32_t side) {
  static std::map<std::pair<GridKind, int32_t>, CostGrid> grids;
  auto [it, added] = grids.try_emplace({kind, side});
  if (added) it->second = MakeGrid(kind, side);
  return it->second;
}

// Corner to corner with the path command's settings.
PathRequest CornerRequest(const CostGrid& grid, float weight, uint32_t hashBits) {
  PathRequest r;
  r.goalX = grid.width - 1;
  r.goalY = grid.height - 1;
  r.diagonalCost = true;
  r.cellStates = hashBits != 8;
  r.hashBits = hashBits;
  r.weight = weight;
  r.width = grid.width;
  r.height = grid.height;
  r.grid = grid.cells.data();
  return r;
}

const CostGrid& GridFor(const benchmark::State& state) {
  return CachedGrid(static_cast<GridKind>(state.range(0)), static_cast<int32_t>(state.range(1)));
}

void Label(benchmark::State& state, const ReferencePath& ref) {
  state.SetLabel(std::string(kKindNames[state.range(0)]) +
                 " w=" + std::to_string(kWeights[state.range(2)]).substr(0, 3));
  state.counters["expansions"] = static_cast<double>(ref.expansions);
  state.counters["largest_open"] = ref.largestOpen;
  state.counters["closed"] = ref.closed;
}

void RunPlanner(benchmark::State& state, bool scaled) {
  const CostGrid& grid = GridFor(state);
  const float weight = kWeights[state.range(2)];
  const PathRequest r =
      CornerRequest(grid, weight, scaled ? ScaledHashBits(grid.width, grid.height) : 8);
  const ReferencePath ref = ReferenceAStar(r);
  if (ref.cells.empty()) {
    state.SkipWithError("no path on this grid");
    return;
  }
  static AStarPlanner planner;  // kept from search to search, as the path command keeps its own
  bool agrees = true;
  for (auto _ : state) {
    FindPath(planner, r);
    planner.Reset();
    planner.Search();
    agrees =
        agrees && PlannerPathLength(planner) == ref.cells.size() &&
        std::bit_cast<uint32_t>(PlannerPathCost(planner)) == std::bit_cast<uint32_t>(ref.cost) &&
        PlannerNodeCount(planner) == ref.closed;
    planner.Clear();
  }
  if (!agrees) state.SkipWithError("planner and reference disagree");
  Label(state, ref);
}

void BM_PlannerScaledBits(benchmark::State& state) {
  RunPlanner(state, true);
}

void BM_PlannerBits8(benchmark::State& state) {
  RunPlanner(state, false);
}

void BM_Reference(benchmark::State& state) {
  const PathRequest r = CornerRequest(GridFor(state), kWeights[state.range(2)], 8);
  static ReferenceWork work;  // kept like the planner's memory
  ReferencePath ref;
  for (auto _ : state) {
    ref = ReferenceAStar(r, work);
    benchmark::DoNotOptimize(ref.cost);
  }
  Label(state, ref);
}

// The command itself: the grid as the language's array, the path written into another.
void BM_FindPathGrid(benchmark::State& state) {
  const CostGrid& costs = GridFor(state);
  const float weight = kWeights[state.range(2)];
  const ReferencePath ref = ReferenceAStar(CornerRequest(costs, weight, 8));
  DimArray grid{};
  DimArray path{};
  ArrayDimNumber(grid, costs.width, costs.height, 0, 0);
  std::memcpy(grid.data, costs.cells.data(), costs.cells.size() * sizeof(double));
  int32_t cells = 0;
  for (auto _ : state) {
    cells = FindPathGrid(grid, path, weight, 0, 0, costs.width - 1, costs.height - 1);
  }
  if (cells != static_cast<int32_t>(ref.cells.size()) || cells == 0)
    state.SkipWithError("wrong path");
  Label(state, ref);
  ArrayRelease(grid);
  ArrayRelease(path);
}

// Corner to corner over 30 % obstacles and costs 1 to 9.
const CostGrid& ObstacleGrid(int32_t side) {
  static std::map<int32_t, CostGrid> grids;
  auto [it, added] = grids.try_emplace(side);
  if (added) {
    GridLcg rng{uint32_t(side)};
    it->second = CornersCleared(RandomCostGrid(rng, side, side, 0.3));
  }
  return it->second;
}

PathRequest ObstacleRequest(const benchmark::State& state) {
  const CostGrid& grid = ObstacleGrid(int32_t(state.range(0)));
  return CornerRequest(grid, kWeights[state.range(1)], ScaledHashBits(grid.width, grid.height));
}

// Reports the search's size and stops on any difference between the two sides.
void Conclude(benchmark::State& state, size_t cells, float cost, const ReferencePath& ref) {
  state.counters["closed"] = ref.closed;
  if (ref.cells.empty()) state.SkipWithError("no path on this grid");
  if (cells != ref.cells.size() ||
      std::bit_cast<uint32_t>(cost) != std::bit_cast<uint32_t>(ref.cost)) {
    state.SkipWithError("planner and reference disagree");
  }
}

// Planner and reference in one run, both keeping their memory from search to search.
void BM_PlannerAgainstReference(benchmark::State& state) {
  const PathRequest r = ObstacleRequest(state);
  static AStarPlanner planner;
  static ReferenceWork work;
  ReferencePath ref;
  const auto plan = [&] {
    FindPath(planner, r);
    planner.Reset();
    planner.Search();
  };
  // Both sides search once untimed, as the path command's planner has searched before: a first
  // search on a large grid mostly measures how fast the system hands out fresh pages.
  plan();
  ReferenceAStar(r, work);
  bench::SideBySide(state, plan, [&] { ref = ReferenceAStar(r, work); });
  Conclude(state, PlannerPathLength(planner), PlannerPathCost(planner), ref);
  planner.Clear();
}
BENCHMARK(BM_PlannerAgainstReference)
    ->ArgsProduct({{512, 1024}, {0, 1}})
    ->ArgNames({"side", "w"})
    ->Unit(benchmark::kMillisecond);

// The same on fresh memory: a new planner per search, and the reference's arrays made anew.
void BM_FreshPlannerAgainstReference(benchmark::State& state) {
  const PathRequest r = ObstacleRequest(state);
  ReferencePath ref;
  size_t cells = 0;
  float cost = 0;
  const auto plan = [&] {
    AStarPlanner planner;
    FindPath(planner, r);
    planner.Reset();
    planner.Search();
    cells = PlannerPathLength(planner);
    cost = PlannerPathCost(planner);
  };
  bench::SideBySide(state, plan, [&] {
    ReferenceWork work;
    ref = ReferenceAStar(r, work);
  });
  Conclude(state, cells, cost, ref);
}
BENCHMARK(BM_FreshPlannerAgainstReference)
    ->ArgsProduct({{512, 1024}, {0, 1}})
    ->ArgNames({"side", "w"})
    ->Unit(benchmark::kMillisecond);

void Grids(benchmark::internal::Benchmark* b, int64_t largestSide) {
  for (int64_t kind : {kRandomCosts, kMaze, kOpenField}) {
    for (int64_t side = 128; side <= largestSide; side *= 2) {
      for (int64_t w = 0; w < 3; ++w) b->Args({kind, side, w});
    }
  }
  b->ArgNames({"kind", "side", "w"})->Unit(benchmark::kMillisecond)->Repetitions(5);
}

}  // namespace

BENCHMARK(BM_FindPathGrid)->Apply([](auto* b) { Grids(b, 1024); });
BENCHMARK(BM_PlannerScaledBits)->Apply([](auto* b) { Grids(b, 1024); });
BENCHMARK(BM_Reference)->Apply([](auto* b) { Grids(b, 1024); });
// The closed table's fixed 256 buckets make the search quadratic: seconds already at 512.
BENCHMARK(BM_PlannerBits8)->Apply([](auto* b) { Grids(b, 512); });
