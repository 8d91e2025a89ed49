// Shared entry of every test executable: headless defaults and every layer installed, as a
// program's entry installs them, then GoogleTest.
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/error_log_hook.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx3d/scene_runtime_hooks.h"
#include "net/network_runtime_hooks.h"
#include "system/debug_log.h"

// Under AddressSanitizer the leak check walks each thread's dynamic TLS as recorded from
// __tls_get_addr calls; the records Mesa's driver leaves behind can point nowhere, and the walk
// then crashes the checker at exit. Memory held only in a library's dynamic TLS is not ours.
extern "C" __attribute__((used)) const char* __asan_default_options() {
  return "intercept_tls_get_addr=0";
}

int main(int argc, char** argv) {
  // Defaults only: a developer may point a run at a real display or sound device.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  SetErrorLogHook(ErrorLogWrite);
  InstallGfx2dLayer();
  InstallGfx3dLayer();
  InstallNetworkLayer();
  testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
