// Search nodes and the pool that makes them all before a search, so a search never allocates.
#pragma once

#include <cstdint>
#include <memory>

struct Node {
  Node* parent;  // none for the start
  int32_t x;
  int32_t y;
  float f;  // the open-list key
  float g;  // the cost from the start
  Node* nextInBucket;
};

// Nodes are handed out by index and only handed back all together after a search; the block is
// sized once per reserve and never moves while nodes are out.
struct NodeFactory {
  uint32_t count = 0;
  std::unique_ptr<Node[]> nodes;
  uint32_t used = 0;

  NodeFactory() = default;
  NodeFactory(const NodeFactory&) = delete;
  NodeFactory& operator=(const NodeFactory&) = delete;
  virtual ~NodeFactory() = default;
};

// Replaces every node by n new ones; false for n = 0 (nothing changes) and when memory runs out
// (the pool is then empty).
bool NodeFactoryReserve(NodeFactory& pool, uint32_t n);

// No nodes at all.
void NodeFactoryFree(NodeFactory& pool);

// The next unused node, or none when the pool is exhausted.
Node* NodeFactoryTakeNode(NodeFactory& pool);
void NodeFactoryReturnNode(NodeFactory& pool);
