// The planner's closed table: nodes chained through their own next-in-bucket field, bucketed by
// the low bits of their cell coordinates. The table owns its buckets, never the nodes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pathfind/large_array.h"
#include "pathfind/node_factory.h"

inline constexpr uint32_t kNodeHashMaxBits = 24;

struct NodeHashTable {
  LargeArray<Node*> buckets = AllocateZeroed<Node*>(1);
  uint32_t bits = 0;  // even, at most kNodeHashMaxBits

  NodeHashTable() = default;
  // A copy takes the same bits and bucket heads, so both tables share the nodes.
  NodeHashTable(const NodeHashTable& other);
  NodeHashTable& operator=(const NodeHashTable& other);
  virtual ~NodeHashTable() = default;
};

inline size_t NodeHashTableBucketCount(const NodeHashTable& table) {
  return size_t{1} << table.bits;
}

struct NodeHashIter {
  NodeHashTable* table;
  uint32_t bucket = 0;
  Node* node = nullptr;
  Node** link = nullptr;  // the pointer that points at node: a bucket head or a next-in-bucket

  explicit NodeHashIter(NodeHashTable& t) : table(&t) {}
};

// Empties the table and gives it 2^b buckets: b is capped at 24 and an odd b lowered by one.
// Returns the bits kept; when the buckets cannot be allocated the table falls back to one bucket
// and 0 is returned.
uint32_t NodeHashTableSetBits(NodeHashTable& table, uint32_t b);
uint32_t NodeHashTableHash(const NodeHashTable& table, int32_t x, int32_t y);

// False for no node and for a node already in its chain.
bool NodeHashTableInsert(NodeHashTable& table, Node* node);
// Remembers in the iterator where the node of (x, y) was found, for NodeHashTableTakeFound.
Node* NodeHashTableFind(NodeHashIter& it, int32_t x, int32_t y);
Node* NodeHashTableTakeFound(NodeHashIter& it);
uint32_t NodeHashTableCount(const NodeHashTable& table);
// Drops the whole chain of the cell's bucket, nodes of other cells in it included.
void NodeHashTableEmptyBucket(NodeHashTable& table, int32_t x, int32_t y);
void NodeHashTableZero(NodeHashTable& table);
// Hands every node in the table back to the pool, then empties the buckets.
void NodeHashTableClear(NodeHashTable& table, NodeFactory& pool);

Node* NodeHashIterBegin(NodeHashIter& it);
Node* NodeHashIterNext(NodeHashIter& it);
// Unlinks the current node and moves on; returns the node taken out.
Node* NodeHashIterNext2(NodeHashIter& it);
