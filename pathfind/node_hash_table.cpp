// The closed table and its iterator.
#include "pathfind/node_hash_table.h"

#include <algorithm>

namespace {

// Gives the table 2^bits empty buckets, or one bucket and 0 bits when memory runs out.
void AllocateBuckets(NodeHashTable& table, uint32_t bits) {
  table.buckets.reset();
  table.bits = bits;
  table.buckets = AllocateZeroed<Node*>(NodeHashTableBucketCount(table));
  if (table.buckets) return;
  table.bits = 0;
  table.buckets = AllocateZeroed<Node*>(1);
}

}  // namespace

NodeHashTable::NodeHashTable(const NodeHashTable& other) {
  *this = other;
}

NodeHashTable& NodeHashTable::operator=(const NodeHashTable& other) {
  if (this == &other) return *this;
  AllocateBuckets(*this, other.bits);
  if (bits == other.bits)
    std::copy_n(other.buckets.get(), NodeHashTableBucketCount(other), buckets.get());
  return *this;
}

uint32_t NodeHashTableSetBits(NodeHashTable& table, uint32_t b) {
  b = std::min(b, kNodeHashMaxBits) & ~1u;
  if (b == table.bits) {
    NodeHashTableZero(table);
  } else {
    AllocateBuckets(table, b);
  }
  return table.bits;
}

uint32_t NodeHashTableHash(const NodeHashTable& table, int32_t x, int32_t y) {
  const uint32_t k = table.bits / 2;
  const uint32_t m = (1u << k) - 1;
  return (static_cast<uint32_t>(x) & m) | ((static_cast<uint32_t>(y) & m) << k);
}

bool NodeHashTableInsert(NodeHashTable& table, Node* node) {
  if (!node) return false;
  Node*& head = table.buckets[NodeHashTableHash(table, node->x, node->y)];
  for (Node* n = head; n; n = n->nextInBucket) {
    if (n == node) return false;
  }
  node->nextInBucket = head;
  head = node;
  return true;
}

Node* NodeHashTableFind(NodeHashIter& it, int32_t x, int32_t y) {
  NodeHashTable& table = *it.table;
  it.bucket = NodeHashTableHash(table, x, y);
  it.link = &table.buckets[it.bucket];
  while (*it.link && ((*it.link)->x != x || (*it.link)->y != y))
    it.link = &(*it.link)->nextInBucket;
  it.node = *it.link;
  return it.node;
}

Node* NodeHashTableTakeFound(NodeHashIter& it) {
  Node* node = it.node;
  if (!node) return nullptr;
  *it.link = node->nextInBucket;
  it.node = nullptr;
  return node;
}

uint32_t NodeHashTableCount(const NodeHashTable& table) {
  uint32_t count = 0;
  for (size_t b = 0; b < NodeHashTableBucketCount(table); ++b) {
    for (const Node* n = table.buckets[b]; n; n = n->nextInBucket) ++count;
  }
  return count;
}

void NodeHashTableEmptyBucket(NodeHashTable& table, int32_t x, int32_t y) {
  table.buckets[NodeHashTableHash(table, x, y)] = nullptr;
}

void NodeHashTableZero(NodeHashTable& table) {
  std::fill_n(table.buckets.get(), NodeHashTableBucketCount(table), nullptr);
}

void NodeHashTableClear(NodeHashTable& table, NodeFactory& pool) {
  for (size_t b = 0; b < NodeHashTableBucketCount(table); ++b) {
    for (const Node* n = table.buckets[b]; n; n = n->nextInBucket) NodeFactoryReturnNode(pool);
  }
  NodeHashTableZero(table);
}

namespace {

// Moves to the first node of the first non-empty bucket from index first on.
Node* SeekBucket(NodeHashIter& it, uint32_t first) {
  NodeHashTable& table = *it.table;
  for (it.bucket = first; it.bucket < NodeHashTableBucketCount(table); ++it.bucket) {
    if (table.buckets[it.bucket]) {
      it.link = &table.buckets[it.bucket];
      it.node = *it.link;
      return it.node;
    }
  }
  it.link = nullptr;
  it.node = nullptr;
  return nullptr;
}

}  // namespace

Node* NodeHashIterBegin(NodeHashIter& it) {
  return SeekBucket(it, 0);
}

Node* NodeHashIterNext(NodeHashIter& it) {
  if (!it.node) return nullptr;
  if (it.node->nextInBucket) {
    it.link = &it.node->nextInBucket;
    it.node = *it.link;
    return it.node;
  }
  return SeekBucket(it, it.bucket + 1);
}

Node* NodeHashIterNext2(NodeHashIter& it) {
  Node* taken = it.node;
  if (!taken) return nullptr;
  *it.link = taken->nextInBucket;
  // The link that pointed at the removed node now points at its follower, which becomes current.
  it.node = *it.link;
  if (!it.node) SeekBucket(it, it.bucket + 1);
  return taken;
}
