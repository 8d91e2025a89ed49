// Frame choice, working-list rebuild and outline width of object drawing, without OpenGL.
#include "gfx3d/object_drawing_maths.h"

#include <gtest/gtest.h>

namespace {

MeshFrame FrameAt(float x, int32_t records) {
  MeshFrame frame;
  for (int32_t i = 0; i < records; ++i) {
    MeshVertex v;
    v.position = {x, float(i), 0};
    v.normal = {0, 0, 1};
    v.u = 0.25f;
    frame.triangles.Append(v);
    frame.buildStream.Append(v);
  }
  return frame;
}

MeshObjectX PartWithFrames(std::initializer_list<float> xs, int32_t records = 3) {
  MeshObjectX part;
  for (float x : xs) part.frames.Append(FrameAt(x, records));
  for (const MeshVertex& v : part.frames[0].triangles) part.triangles.Append(v);
  return part;
}

TEST(FramePairTest, AnimatedPlainAndClampedChoices) {
  struct Case {
    int32_t from, to;
    float time;
    bool animated;
    int32_t frames;
    FramePair expected;
  };
  for (const Case& c : {Case{0, 4, 0.3f, true, 5, {2, 1, 0.8f}},
                        Case{0, 4, 1.25f, true, 5, {2, 1, 1.0f}},  // wraps to 0.25
                        Case{4, 0, 0.3f, true, 5, {2, 3, 0.8f}},
                        Case{2, 2, 0.7f, true, 5, {2, 2, 0.0f}},
                        Case{0, 4, 0.5f, false, 5, {0, 4, 0.5f}},
                        Case{-3, 9, 0, false, 3, {0, 2, 0.0f}}}) {
    SCOPED_TRACE(testing::Message() << c.from << " " << c.to << " " << c.time);
    const FramePair p = ChooseFramePair(c.from, c.to, c.time, c.animated, c.frames);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
    EXPECT_NEAR(p.weight, c.expected.weight, 1e-6);
  }
}

TEST(WorkingListTest, BlendsHalfwayAndAddsTheOffsetOnce) {
  MeshObjectX part = PartWithFrames({0, 1, 2, 3, 8});
  const float offset[2] = {0.5f, 0};
  const FramePair pair = ChooseFramePair(0, 4, 0.5f, false, 5);
  for (int draw = 0; draw < 3; ++draw) {
    RebuildWorkingList(part, pair, 3, LightShaping{}, offset);
  }
  EXPECT_FLOAT_EQ(part.triangles[1].position.x, 4.0f);
  EXPECT_FLOAT_EQ(part.triangles[1].position.y, 1.0f);
  EXPECT_FLOAT_EQ(part.triangles[1].u, 0.75f);
}

TEST(WorkingListTest, FramesOfDifferentLengthsLimitTheRecordsRead) {
  MeshObjectX part = PartWithFrames({0});
  part.frames.Append(FrameAt(2, 1));
  EXPECT_EQ(BlendableRecords(part, FramePair{0, 1, 0.5f}), 1);
  EXPECT_EQ(BlendableRecords(part, FramePair{0, 0, 0}), 3);
}

TEST(WorkingListTest, Dot3AndCelShapingFields) {
  MeshObjectX part = PartWithFrames({0});
  part.frames[0].triangles[0].tangent = {1, 0, 0};
  part.frames[0].triangles[0].bitangent = {0, 1, 0};
  const float offset[2] = {0, 0};
  // Light straight above record 0 at (0, 0, 0): L = (0, 0, 1).
  RebuildWorkingList(part, FramePair{}, 3, LightShaping{1, {0, 0, 5}}, offset);
  const Vec3 a = part.triangles[0].lightVector;
  EXPECT_FLOAT_EQ(a.x, 0.5f);
  EXPECT_FLOAT_EQ(a.y, 0.5f);
  EXPECT_FLOAT_EQ(a.z, 1.0f);

  part.rampRowStep = 0.25f;
  part.frames[0].triangles[0].colourIndex = 1;
  // D = position - normal = (0, 0, -1), opposite the light: clamped to 0.05.
  RebuildWorkingList(part, FramePair{}, 3, LightShaping{2, {0, 0, 5}}, offset);
  EXPECT_FLOAT_EQ(part.triangles[0].bitangent.y, 0.375f);
  EXPECT_FLOAT_EQ(part.triangles[0].bitangent.x, 0.05f);
}

TEST(CelOutlineTest, WidthFollowsDistanceAndScale) {
  const Mat4 identity = IdentityMatrix();
  EXPECT_NEAR(CelOutlineWidth(2, {0, 0, 10}, {}, identity, 1), 0.06f, 1e-6);
  EXPECT_EQ(CelOutlineWidth(2, {}, {}, identity, 1), 0.0f);
  const Mat4 doubled = ScaleMatrix({2, 2, 2});
  EXPECT_NEAR(CelOutlineWidth(2, {0, 0, 10}, {}, doubled, 2), 0.06f / 16, 1e-7);
}

}  // namespace
