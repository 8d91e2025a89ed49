// The A* planner over a rectangular grid of costs. Each planner owns its cost map, node pool,
// open list and closed table; nothing is global, and a search allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pathfind/cell_search.h"
#include "pathfind/large_array.h"
#include "pathfind/node_factory.h"
#include "pathfind/node_hash_table.h"
#include "pathfind/open_list.h"
#include "pathfind/path_request.h"

struct Planner {
  bool searchDone = true;
  NodeFactory pool;
  PathRequest request;
  LargeArray<float> costMap;  // -1.0 marks a blocked cell; open cells cost 1 to 2
  uint32_t searchCount = 0;
  OpenList open;  // lowest f first, the first queued first among equal f
  NodeHashTable closed;
  Node* result = nullptr;  // the goal node; its parent chain is the path
  // Searches in place of the open list and the closed table for requests with cell states, which
  // leave both empty; the pool then holds only the path's nodes.
  CellSearch cells;
  // Cells the map was made for: a set-up for as many cells reuses it, as it reuses the
  // containers of the same sizes.
  size_t mapCells = 0;

  Planner() = default;
  Planner(const Planner&) = delete;
  Planner& operator=(const Planner&) = delete;
  // Frees everything at once; handing the nodes back first would only touch memory.
  virtual ~Planner() = default;
  virtual void Reset();
  virtual bool Search() = 0;
  virtual void Clear();
};

struct AStarPlanner : Planner {
  void Reset() override;
  bool Search() override;
};

// Turns the grid into the cost map and sizes the containers. False, with nothing searched, when
// start or goal lie outside the grid, when they are the same cell, when no cell is open, and when
// memory runs out.
bool FindPath(Planner& planner, const PathRequest& request);
void PlannerReset(Planner& planner);
// Both do nothing until FindPath has succeeded.
void AStarPlannerReset(AStarPlanner& planner);
// Runs to the end and returns true. No result means no path, or a pool or open list too small
// for the grid.
bool AStarPlannerSearch(AStarPlanner& planner);
// Hands every node back and empties the open list and the closed table.
void PlannerClear(Planner& planner);
void PlannerFreeCostMap(Planner& planner);

float PlannerPathCost(const Planner& planner);       // -1.0 without a result
uint32_t PlannerPathLength(const Planner& planner);  // start and goal included; 0 without
uint32_t PlannerOpenCount(const Planner& planner);
uint32_t PlannerNodeCount(const Planner& planner);

// Hash bits that give a large grid's closed table about one cell per bucket: the smallest even
// number whose power of two reaches width x height, kept within 8 to 24.
uint32_t ScaledHashBits(int32_t width, int32_t height);
