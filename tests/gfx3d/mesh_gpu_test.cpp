#include "gfx3d/mesh_gpu.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "gfx3d/scene.h"

namespace {

// A one-frame part whose build stream is the given colours; each vertex's x is its place among
// the vertices, so a triangle reads as its corners' letters (A = 0, B = 1, ...).
MeshObjectX PartOf(std::initializer_list<uint32_t> colours) {
  MeshFrame frame;
  float letter = 0;
  for (uint32_t colour : colours) {
    MeshVertex record;
    SetVertexColour(record, colour, 0);
    if (!IsBreak(colour)) record.position.x = letter++;
    frame.buildStream.Append(record);
  }
  MeshObjectX part;
  part.frames.Append(std::move(frame));
  BuildColourTable(part);
  return part;
}

std::vector<std::array<int, 3>> Triangles(std::initializer_list<uint32_t> colours) {
  MeshObjectX part = PartOf(colours);
  TriangulateBuildStream(part);
  std::vector<std::array<int, 3>> out;
  const GrowArray<MeshVertex>& list = part.frames[0].triangles;
  for (int i = 0; i + 2 < list.count(); i += 3) {
    out.push_back(
        {int(list[i].position.x), int(list[i + 1].position.x), int(list[i + 2].position.x)});
  }
  return out;
}

constexpr uint32_t W = 0x00FFFFFF;  // a white vertex
using Tris = std::vector<std::array<int, 3>>;

TEST(Triangulation, StripsFansAndLists) {
  const uint32_t S = kBreakStrip, F = kBreakFan, L = kBreakTriangleList;
  EXPECT_EQ(Triangles({S, W, W, W, W, W}), (Tris{{0, 1, 2}, {2, 1, 3}, {2, 3, 4}}));
  EXPECT_EQ(Triangles({F, W, W, W, W, W}), (Tris{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));
  EXPECT_EQ(Triangles({L, W, W, W, W, W}), (Tris{{0, 1, 2}}));
  // A new strip drops the two records that had not completed a triangle.
  EXPECT_EQ(Triangles({S, W, W, W, W, S, W, W, W}), (Tris{{0, 1, 2}, {2, 1, 3}, {4, 5, 6}}));
  // 0xFFFFFFFC and above are markers; the lowest of them opens a fan.
  EXPECT_EQ(Triangles({L, W, W, 0xFFFFFFFC, W, W, W, W}), (Tris{{2, 3, 4}, {2, 4, 5}}));
}

TEST(Triangulation, WorkingListAndColourFlag) {
  MeshObjectX white = PartOf({kBreakStrip, W, W, W, W});
  TriangulateBuildStream(white);
  EXPECT_EQ(white.hasColours, 0u);
  EXPECT_EQ(WorkingRecordCount(white), 6);
  // Made only when asked for, as a copy of frame 0's list.
  EXPECT_TRUE(white.triangles.empty());
  ASSERT_EQ(WorkingList(white).count(), 6);
  EXPECT_EQ(WorkingList(white)[5].colour, white.frames[0].triangles[5].colour);

  MeshObjectX red = PartOf({kBreakStrip, W, 0x000000FF, W});
  TriangulateBuildStream(red);
  EXPECT_EQ(red.hasColours, 1u);

  MeshObjectX none;
  TriangulateBuildStream(none);
  EXPECT_EQ(WorkingRecordCount(none), 0);
}

std::array<int, 4> Pixel(const std::vector<uint8_t>& block, int width, int x, int y) {
  const uint8_t* p = block.data() + 4 * (size_t(y) * size_t(width) + size_t(x));
  return {p[0], p[1], p[2], p[3]};
}

TEST(CelRamp, BlockOfAThreeColourTable) {
  Rainbows3D scene(nullptr);
  SetCelRamp(scene, nullptr, 0);
  CelRamp.Clear(true);  // the default ramp comes back at the next block
  MeshObjectX part;
  for (uint32_t colour : {kBreakStrip, 0x000000FFu, 0x0000FF00u}) part.colourTable.Append(colour);
  int width = 0, height = 0;
  std::vector<uint8_t> block = CelRampBlock(part, false, width, height);
  ASSERT_EQ(width, 64);
  ASSERT_EQ(height, 4);
  EXPECT_EQ(Pixel(block, width, 0, 1), (std::array<int, 4>{100, 0, 0, 255}));
  EXPECT_EQ(Pixel(block, width, 28, 1), (std::array<int, 4>{207, 0, 0, 255}));
  EXPECT_EQ(Pixel(block, width, 32, 1), (std::array<int, 4>{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(block, width, 0, 2), (std::array<int, 4>{0, 100, 0, 255}));
  EXPECT_EQ(Pixel(block, width, 0, 0), (std::array<int, 4>{100, 100, 100, 255}));
  EXPECT_EQ(Pixel(block, width, 0, 3), (std::array<int, 4>{100, 100, 100, 255}));
  // The BGRA layout names blue first.
  block = CelRampBlock(part, true, width, height);
  EXPECT_EQ(Pixel(block, width, 28, 1), (std::array<int, 4>{0, 0, 207, 255}));

  // No ramp values: the plain colours.
  SetCelRamp(scene, nullptr, 0);
  block = CelRampBlock(part, false, width, height);
  EXPECT_EQ(Pixel(block, width, 0, 1), (std::array<int, 4>{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(block, width, 63, 2), (std::array<int, 4>{0, 255, 0, 255}));
  CelRamp.Clear(true);
}

}  // namespace
