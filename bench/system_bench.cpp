// Cost of the calls the frame cycle and start-up make often: a timer reading, an uncontended
// mutex lock and unlock, and one debug-log append (open, write, close).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "system/debug_log.h"
#include "system/threads.h"
#include "system/timers.h"

static void BM_GetTimerAll(benchmark::State& state) {
  TimerInit();
  for (auto _ : state) benchmark::DoNotOptimize(GetTimerAll());
}
BENCHMARK(BM_GetTimerAll);

static void BM_MutexLockUnlock(benchmark::State& state) {
  Mutex m = nullptr;
  MutexInit(&m);
  for (auto _ : state) {
    MutexLock(&m);
    MutexUnlock(&m);
  }
  MutexDestroy(&m);
}
BENCHMARK(BM_MutexLockUnlock);

// The log goes to a folder of its own, never to the user's temporary folder.
static void BM_ErrorLogWrite(benchmark::State& state) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "qrn-bench-log";
  std::filesystem::create_directories(folder);
  setenv("TMPDIR", folder.c_str(), 1);
  for (auto _ : state) ErrorLogWrite("flip - 1st call\n");
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ErrorLogWrite);
