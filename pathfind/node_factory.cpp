// The node pool: one block of nodes, handed out by an index.
#include "pathfind/node_factory.h"

#include <new>

bool NodeFactoryReserve(NodeFactory& pool, uint32_t n) {
  if (n == 0) return false;
  // Nodes are uninitialised either way, so a pool of the same size is simply handed out afresh.
  pool.used = 0;
  if (n == pool.count) return true;
  NodeFactoryFree(pool);
  // Left uninitialised: a large grid's search touches few of its nodes.
  pool.nodes.reset(new (std::nothrow) Node[n]);
  if (!pool.nodes) return false;
  pool.count = n;
  return true;
}

void NodeFactoryFree(NodeFactory& pool) {
  pool.nodes.reset();
  pool.count = 0;
  pool.used = 0;
}

Node* NodeFactoryTakeNode(NodeFactory& pool) {
  if (pool.used >= pool.count) return nullptr;
  return &pool.nodes[pool.used++];
}

void NodeFactoryReturnNode(NodeFactory& pool) {
  if (pool.used > 0) --pool.used;
}
