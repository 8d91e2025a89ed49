// Shared entry of every test executable: headless defaults and every layer installed, as a
// program's entry installs them, then GoogleTest.
#include <cstdlib>
#include <filesystem>
#include <string>

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

namespace {

constexpr const char* kRunFolderVariable = "QRN_TEST_RUN_FOLDER";

// The run's own temporary folder, removed after the last test, so that nothing the tests and the
// programs they start put there stays behind: not even what a death-test child leaves, which
// ends without any clean-up. The child finds the variable set and leaves the folder to its parent.
std::string MakeRunFolder() {
  if (std::getenv(kRunFolderVariable)) return {};
  std::string folder = std::filesystem::temp_directory_path() / "qrn-run-XXXXXX";
  if (!mkdtemp(folder.data())) return {};
  setenv(kRunFolderVariable, folder.c_str(), 1);
  setenv("TMPDIR", folder.c_str(), 1);
  return folder;
}

}  // namespace

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
  const std::string runFolder = MakeRunFolder();
  const int status = RUN_ALL_TESTS();
  std::error_code ignored;
  if (!runFolder.empty()) std::filesystem::remove_all(runFolder, ignored);
  return status;
}
