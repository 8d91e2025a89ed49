// The wire sphere's subdivision.
#include "gfx3d/debug_drawing.h"

#include <gtest/gtest.h>

namespace {

TEST(WireSphereTest, DepthOneGivesEightyLoopsOnTheSphere) {
  const Vec3 centre{1, 2, 3};
  const std::vector<WireLoop> loops = WireSphereLoops(centre, 5, 1);
  ASSERT_EQ(loops.size(), 80u);
  for (const WireLoop& loop : loops) {
    for (Vec3 p : loop) EXPECT_NEAR(Length(p - centre), 5.0f, 1e-5);
  }
  EXPECT_EQ(WireSphereLoops(centre, 5, 0).size(), 20u);
}

}  // namespace
