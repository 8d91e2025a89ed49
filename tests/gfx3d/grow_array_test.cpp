#include "gfx3d/grow_array.h"

#include <gtest/gtest.h>

#include "gfx3d/mesh_object.h"

namespace {

struct AllocationLimit {
  explicit AllocationLimit(int64_t successes) { SetGrowArrayAllocationLimit(successes); }
  ~AllocationLimit() { SetGrowArrayAllocationLimit(-1); }
};

TEST(GrowArray, FirstBlockIsTheMinimumOrWholeStepsAboveTheRequest) {
  struct Case {
    int64_t request;
    int32_t capacity;
  };
  for (Case c : {Case{0, 512}, Case{100, 512}, Case{512, 512}, Case{513, 640}, Case{1000, 1024}}) {
    GrowArray<uint32_t> array;
    ASSERT_TRUE(array.Reserve(c.request));
    EXPECT_EQ(array.capacity(), c.capacity) << c.request;
  }
}

TEST(GrowArray, LaterGrowthAtLeastDoublesAndKeepsEveryElement) {
  GrowArray<uint32_t> array;
  for (uint32_t i = 0; i < 5000; ++i) ASSERT_TRUE(array.Append(i * 7));
  EXPECT_EQ(array.count(), 5000);
  for (int32_t i = 0; i < 5000; ++i) ASSERT_EQ(array[i], uint32_t(i) * 7);
  array.ShrinkToFit();
  EXPECT_EQ(array.capacity(), 5000);
  EXPECT_EQ(array[4999], 4999u * 7);

  GrowArray<uint32_t> full;
  full.Reserve(512);
  for (uint32_t i = 0; i < 513; ++i) full.Append(i);
  EXPECT_GE(full.capacity(), 1024);
}

TEST(GrowArray, FailedGrowthKeepsTheOldContents) {
  GrowArray<uint32_t> array;
  for (uint32_t i = 0; i < 512; ++i) array.Append(i);
  AllocationLimit none(0);
  EXPECT_FALSE(array.Append(512));
  EXPECT_FALSE(array.Reserve(10000));
  ASSERT_EQ(array.count(), 512);
  ASSERT_NE(array.data(), nullptr);
  for (int32_t i = 0; i < 512; ++i) ASSERT_EQ(array[i], uint32_t(i));
}

TEST(GrowArray, CountsBeyondTheI32RangeFailWithoutAllocating) {
  GrowArray<uint8_t> array;
  EXPECT_FALSE(array.Reserve(int64_t(INT32_MAX) + 1));
  EXPECT_EQ(array.capacity(), 0);
  EXPECT_EQ(array.data(), nullptr);
}

TEST(GrowArray, ElementsOwningStorageMoveAcrossGrowth) {
  GrowArray<MeshFrame> frames;
  for (int32_t i = 0; i < 700; ++i) {
    MeshFrame frame;
    MeshVertex vertex;
    vertex.position.x = float(i);
    ASSERT_TRUE(frame.buildStream.Append(vertex));
    ASSERT_TRUE(frames.Append(std::move(frame)));
  }
  for (int32_t i = 0; i < 700; ++i) {
    ASSERT_EQ(frames[i].buildStream.count(), 1);
    ASSERT_EQ(frames[i].buildStream[0].position.x, float(i));
  }
}

}  // namespace
