// The ring, the closed table and the node pool under the planner.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "pathfind/fixed_deque.h"
#include "pathfind/node_factory.h"
#include "pathfind/node_hash_table.h"
#include "pathfind/open_list.h"

namespace {

std::vector<int> Contents(FixedDeque<int>& d) {
  std::vector<int> out;
  for (uint32_t i = 0; i < FixedDequeSize(d); ++i) out.push_back(FixedDequeAt(d, i));
  return out;
}

TEST(FixedDeque, WrapsAndRefusesWhenFull) {
  FixedDeque<int> d(4);
  for (int v = 1; v <= 4; ++v) EXPECT_TRUE(FixedDequePushBack(d, v));
  EXPECT_EQ(FixedDequeSize(d), 4u);
  EXPECT_FALSE(FixedDequePushBack(d, 5));
  EXPECT_FALSE(FixedDequePushFront(d, 5));
  EXPECT_FALSE(FixedDequeInsertAt(d, 2, 5));
  EXPECT_TRUE(FixedDequePopFront(d));
  EXPECT_TRUE(FixedDequePushBack(d, 5));
  EXPECT_EQ(d.buffer[0], 5);
  EXPECT_EQ(FixedDequeBack(d), 5);
  EXPECT_EQ(Contents(d), (std::vector<int>{2, 3, 4, 5}));
}

TEST(FixedDeque, InsertsAndErasesInOrderAcrossTheWrap) {
  FixedDeque<int> d(6);
  // Start with head near the end of the buffer so middle edits cross the wrap.
  for (int v = 0; v < 5; ++v) FixedDequePushBack(d, v);
  for (int v = 0; v < 5; ++v) FixedDequePopFront(d);
  EXPECT_TRUE(FixedDequeIsEmpty(d));
  for (int v : {10, 20, 30}) FixedDequePushBack(d, v);

  EXPECT_TRUE(FixedDequeInsertAt(d, 0, 5));   // at the front
  EXPECT_TRUE(FixedDequeInsertAt(d, 4, 40));  // at the back
  EXPECT_TRUE(FixedDequeInsertAt(d, 2, 15));  // in the middle: rebuilt from the buffer start
  EXPECT_EQ(Contents(d), (std::vector<int>{5, 10, 15, 20, 30, 40}));
  EXPECT_EQ(d.head, 0u);
  EXPECT_EQ(d.tail, 0u);  // full: the tail wrapped

  EXPECT_TRUE(FixedDequeEraseAt(d, 3));
  EXPECT_EQ(Contents(d), (std::vector<int>{5, 10, 15, 30, 40}));
  EXPECT_TRUE(FixedDequeEraseAt(d, 0));
  EXPECT_TRUE(FixedDequeEraseAt(d, 3));
  EXPECT_EQ(Contents(d), (std::vector<int>{10, 15, 30}));
  EXPECT_FALSE(FixedDequeEraseAt(d, 3));
}

TEST(FixedDeque, RefusesIndicesThatOnlyLookValidAfterWrapping) {
  FixedDeque<int> notFull(4);
  FixedDequePushBack(notFull, 1);
  // capacity wraps to the head: once taken for a push at the front
  EXPECT_FALSE(FixedDequeInsertAt(notFull, 4, 9));
  EXPECT_EQ(Contents(notFull), (std::vector<int>{1}));

  FixedDeque<int> full(4);
  for (int v = 1; v <= 4; ++v) FixedDequePushBack(full, v);
  EXPECT_FALSE(FixedDequeEraseAt(full, 4));
  EXPECT_EQ(Contents(full), (std::vector<int>{1, 2, 3, 4}));

  FixedDeque<int> only(4);
  FixedDequePushBack(only, 7);
  EXPECT_TRUE(FixedDequeEraseAt(only, 0));
  EXPECT_TRUE(FixedDequeIsEmpty(only));
  EXPECT_FALSE(FixedDequePopBack(only));

  FixedDequeResize(full, 4);  // the same capacity keeps the buffers but not the contents
  EXPECT_TRUE(FixedDequeIsEmpty(full));
  EXPECT_TRUE(FixedDequePushBack(full, 5));

  FixedDeque<int> none(0);
  EXPECT_FALSE(FixedDequePushBack(none, 1));
  EXPECT_FALSE(FixedDequePushFront(none, 1));
  EXPECT_FALSE(FixedDequeInsertAt(none, 0, 1));
}

// The open list as a ring kept sorted from the highest key at the front, each node put in front
// of those with its key and the back taken first: the order the heap must reproduce.
bool InsertSorted(FixedDeque<Node*>& ring, Node* node) {
  uint32_t lo = 0;
  uint32_t hi = FixedDequeSize(ring);
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (FixedDequeAt(ring, mid)->f <= node->f) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return FixedDequeInsertAt(ring, lo, node);
}

// Few distinct keys, so most pops choose among ties; erasures and a full list on the way.
TEST(OpenList, HandsNodesOutInTheOrderOfARingSortedByKey) {
  constexpr uint32_t kNodes = 120, kCapacity = 48;
  NodeFactory pool;
  ASSERT_TRUE(NodeFactoryReserve(pool, kNodes));
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    OpenList list;
    ASSERT_TRUE(OpenListResize(list, kCapacity, pool));
    FixedDeque<Node*> ring(kCapacity);
    std::vector<Node*> queued;
    for (int step = 0; step < 3000; ++step) {
      const uint32_t choice = random() % 10;
      if (choice < 5) {
        Node* node = &pool.nodes[random() % kNodes];
        if (std::find(queued.begin(), queued.end(), node) != queued.end()) continue;
        node->f = float(random() % 5) * 0.5f;
        const bool fits = InsertSorted(ring, node);
        ASSERT_EQ(OpenListPush(list, node), fits);
        if (fits) queued.push_back(node);
      } else if (choice < 8 || queued.empty()) {
        Node* expected = FixedDequeIsEmpty(ring) ? nullptr : FixedDequeBack(ring);
        FixedDequePopBack(ring);
        ASSERT_EQ(OpenListPop(list), expected);
        std::erase(queued, expected);
      } else {
        Node* node = queued[random() % queued.size()];
        uint32_t at = 0;
        while (FixedDequeAt(ring, at) != node) ++at;
        FixedDequeEraseAt(ring, at);
        OpenListErase(list, node);
        std::erase(queued, node);
      }
      ASSERT_EQ(list.size, FixedDequeSize(ring));
    }
  }
}

Node MakeNode(int32_t x, int32_t y) {
  return Node{nullptr, x, y, 0.0f, 0.0f, nullptr};
}

TEST(NodeHashTable, RoundsBitsAndSharesBucketsByLowBits) {
  NodeHashTable table;
  EXPECT_EQ(NodeHashTableSetBits(table, 25), 24u);
  EXPECT_EQ(NodeHashTableSetBits(table, 9), 8u);
  EXPECT_EQ(NodeHashTableBucketCount(table), 256u);
  EXPECT_EQ(NodeHashTableHash(table, 3, 5), NodeHashTableHash(table, 19, 21));

  Node a = MakeNode(3, 5);
  Node b = MakeNode(19, 21);
  EXPECT_TRUE(NodeHashTableInsert(table, &a));
  EXPECT_TRUE(NodeHashTableInsert(table, &b));
  EXPECT_FALSE(NodeHashTableInsert(table, &a));
  EXPECT_FALSE(NodeHashTableInsert(table, nullptr));
  EXPECT_EQ(NodeHashTableCount(table), 2u);

  NodeHashIter it(table);
  EXPECT_EQ(NodeHashTableFind(it, 3, 5), &a);
  EXPECT_EQ(NodeHashTableTakeFound(it), &a);
  EXPECT_EQ(NodeHashTableFind(it, 3, 5), nullptr);
  EXPECT_EQ(NodeHashTableTakeFound(it), nullptr);
  EXPECT_EQ(NodeHashTableFind(it, 19, 21), &b);

  NodeHashTable copy(table);
  EXPECT_EQ(NodeHashTableCount(copy), 1u);
  EXPECT_EQ(NodeHashTableSetBits(table, 8), 8u);  // the same size is emptied too
  EXPECT_EQ(NodeHashTableCount(table), 0u);
  EXPECT_EQ(NodeHashTableSetBits(table, 0), 0u);
  EXPECT_EQ(NodeHashTableBucketCount(table), 1u);
  NodeHashIter copyIt(copy);
  EXPECT_EQ(NodeHashTableFind(copyIt, 19, 21), &b);
}

TEST(NodeHashTable, IteratorVisitsEveryNodeOnceAndNext2EmptiesTheTable) {
  NodeHashTable table;
  NodeHashTableSetBits(table, 2);  // 2 x 2 tiles: many chains of several nodes
  std::vector<Node> nodes;
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 5; ++x) nodes.push_back(MakeNode(x, y));
  }
  for (Node& n : nodes) NodeHashTableInsert(table, &n);

  std::set<Node*> seen;
  NodeHashIter it(table);
  for (Node* n = NodeHashIterBegin(it); n; n = NodeHashIterNext(it))
    EXPECT_TRUE(seen.insert(n).second);
  EXPECT_EQ(seen.size(), nodes.size());

  std::set<Node*> taken;
  NodeHashIter drain(table);
  NodeHashIterBegin(drain);
  while (Node* n = NodeHashIterNext2(drain)) EXPECT_TRUE(taken.insert(n).second);
  EXPECT_EQ(taken, seen);
  EXPECT_EQ(NodeHashTableCount(table), 0u);
}

TEST(NodeFactory, KeepsNodesOnEmptyReserveAndRunsOutCleanly) {
  NodeFactory pool;
  EXPECT_EQ(NodeFactoryTakeNode(pool), nullptr);
  EXPECT_TRUE(NodeFactoryReserve(pool, 2));
  Node* first = NodeFactoryTakeNode(pool);
  EXPECT_FALSE(NodeFactoryReserve(pool, 0));
  EXPECT_EQ(pool.count, 2u);
  EXPECT_NE(NodeFactoryTakeNode(pool), nullptr);
  EXPECT_EQ(NodeFactoryTakeNode(pool), nullptr);

  NodeHashTable table;
  NodeHashTableInsert(table, first);
  NodeHashTableClear(table, pool);
  EXPECT_EQ(pool.used, 1u);
  EXPECT_EQ(NodeHashTableCount(table), 0u);

  EXPECT_TRUE(NodeFactoryReserve(pool, 2));  // the same size hands every node out afresh
  EXPECT_EQ(pool.used, 0u);
}

}  // namespace
