// Shared entry of every test executable: headless defaults first, then GoogleTest.
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Defaults only: a developer may point a run at a real display or sound device.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
