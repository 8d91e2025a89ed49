// The closed table and its iterator.
#include "pathfind/node_hash_table.h"

#include <algorithm>
#include <new>

uint32_t NodeHashTableSetBits(NodeHashTable& table, uint32_t b) {
  b = std::min(b, kNodeHashMaxBits) & ~1u;
  table.buckets.clear();
  table.buckets.shrink_to_fit();
  try {
    table.buckets.assign(size_t{1} << b, nullptr);
    table.bits = b;
  } catch (const std::bad_alloc&) {
    table.buckets.assign(1, nullptr);
    table.bits = 0;
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
  while (*it.link && ((*it.link)->x != x || (*it.link)->y != y)) it.link = &(*it.link)->nextInBucket;
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
  for (const Node* head : table.buckets) {
    for (const Node* n = head; n; n = n->nextInBucket) ++count;
  }
  return count;
}

void NodeHashTableZero(NodeHashTable& table) {
  std::fill(table.buckets.begin(), table.buckets.end(), nullptr);
}

void NodeHashTableClear(NodeHashTable& table, NodeFactory& pool) {
  for (const Node* head : table.buckets) {
    for (const Node* n = head; n; n = n->nextInBucket) NodeFactoryReturnNode(pool);
  }
  NodeHashTableZero(table);
}

namespace {

// Moves to the first node of the first non-empty bucket from index first on.
Node* SeekBucket(NodeHashIter& it, uint32_t first) {
  NodeHashTable& table = *it.table;
  for (it.bucket = first; it.bucket < table.buckets.size(); ++it.bucket) {
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
