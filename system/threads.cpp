// Mutex result codes and the table of kept threads over the platform's locks and threads.
#include "system/threads.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <new>
#include <vector>

#include "platform/clock.h"
#include "platform/threads.h"

struct MutexBlock {
  platform::NativeLock* lock;
  // Written only by the holder (its id after acquiring, 0 before releasing), so a thread that
  // finds its own id here really holds the mutex.
  std::atomic<uint32_t> owner{0};
};

namespace {

struct StartBlock {
  ThreadRoutine routine;
  void* argument;
};

// Kept threads, numbered by row + 1. A row is reserved before its thread starts, so a started
// thread always has its number.
struct KeptThreads {
  enum class State { Free, Starting, Running };
  struct Row {
    State state = State::Free;
    platform::NativeThread thread = 0;
  };
  std::mutex guard;
  std::vector<Row> rows;
};

KeptThreads& Kept() {
  static KeptThreads* table = new KeptThreads;  // threads may still be joined during exit
  return *table;
}

// The reserved row's index, or -1 when the table cannot grow.
int32_t ReserveRow() {
  KeptThreads& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.guard);
  for (size_t i = 0; i < kept.rows.size(); ++i) {
    if (kept.rows[i].state == KeptThreads::State::Free) {
      kept.rows[i].state = KeptThreads::State::Starting;
      return int32_t(i);
    }
  }
  try {
    kept.rows.push_back({KeptThreads::State::Starting, 0});
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return int32_t(kept.rows.size() - 1);
}

void SetRow(int32_t row, KeptThreads::Row value) {
  std::lock_guard<std::mutex> lock(Kept().guard);
  Kept().rows[size_t(row)] = value;
}

// Takes the thread out of its row, so that no other caller joins it too.
bool TakeRow(int32_t handle, platform::NativeThread* thread) {
  KeptThreads& kept = Kept();
  std::lock_guard<std::mutex> lock(kept.guard);
  if (handle < 1 || size_t(handle) > kept.rows.size()) return false;
  KeptThreads::Row& row = kept.rows[size_t(handle - 1)];
  if (row.state != KeptThreads::State::Running) return false;
  *thread = row.thread;
  row = {};
  return true;
}

bool HoldsMutex(const MutexBlock* block) {
  return block->owner.load(std::memory_order_relaxed) == platform::CurrentThreadId();
}

}  // namespace

int32_t MutexInit(Mutex* mutex) {
  if (!mutex) return kThreadInvalidArgument;
  MutexBlock* block = new (std::nothrow) MutexBlock;
  if (!block) return kThreadOutOfMemory;
  block->lock = platform::CreateNativeLock();
  if (!block->lock) {
    delete block;
    return kThreadOutOfMemory;
  }
  *mutex = block;
  return kThreadSuccess;
}

int32_t MutexLock(Mutex* mutex) {
  if (!mutex || !*mutex) return kThreadInvalidArgument;
  MutexBlock* block = *mutex;
  // Checked before waiting: the underlying lock is not recursive and would never come back.
  if (HoldsMutex(block)) return kThreadDeadlock;
  platform::AcquireNativeLock(block->lock);
  block->owner.store(platform::CurrentThreadId(), std::memory_order_relaxed);
  return kThreadSuccess;
}

int32_t MutexUnlock(Mutex* mutex) {
  if (!mutex || !*mutex) return kThreadInvalidArgument;
  MutexBlock* block = *mutex;
  if (!HoldsMutex(block)) return kThreadNotPermitted;
  block->owner.store(0, std::memory_order_relaxed);
  platform::ReleaseNativeLock(block->lock);
  return kThreadSuccess;
}

int32_t MutexDestroy(Mutex* mutex) {
  if (!mutex || !*mutex) return kThreadInvalidArgument;
  MutexBlock* block = *mutex;
  // Freed only while this thread holds it, so no holder is left inside freed memory; the
  // shutdown destroys the network mutex while holding it.
  if (!HoldsMutex(block)) platform::AcquireNativeLock(block->lock);
  block->owner.store(0, std::memory_order_relaxed);
  platform::ReleaseNativeLock(block->lock);
  platform::DestroyNativeLock(block->lock);
  delete block;
  *mutex = nullptr;
  return kThreadSuccess;
}

void* ThreadTrampoline(void* startBlock) {
  StartBlock start = *static_cast<StartBlock*>(startBlock);
  delete static_cast<StartBlock*>(startBlock);
  return reinterpret_cast<void*>(uintptr_t(start.routine(start.argument)));
}

int32_t ThreadCreate(ThreadRoutine routine, void* argument, bool keepHandle) {
  if (!routine) return -1;
  StartBlock* start = new (std::nothrow) StartBlock{routine, argument};
  if (!start) {
    errno = ENOMEM;
    return -1;
  }
  int32_t row = keepHandle ? ReserveRow() : 0;
  platform::NativeThread thread = 0;
  if (row < 0 || !platform::StartNativeThread(ThreadTrampoline, start, keepHandle, &thread)) {
    if (keepHandle && row >= 0) SetRow(row, {});
    delete start;
    return -1;
  }
  if (!keepHandle) return 0;
  SetRow(row, {KeptThreads::State::Running, thread});
  return row + 1;
}

int32_t ThreadJoin(int32_t handle, uint32_t* exitCode) {
  platform::NativeThread thread;
  if (!TakeRow(handle, &thread)) return kThreadInvalidArgument;
  void* result = nullptr;
  if (!platform::JoinNativeThread(thread, &result)) {
    SetRow(handle - 1, {KeptThreads::State::Running, thread});  // not joined: the handle stays good
    return kThreadInvalidArgument;
  }
  if (exitCode) *exitCode = uint32_t(reinterpret_cast<uintptr_t>(result));
  return kThreadSuccess;
}

void ThreadYield() { platform::YieldThread(); }

void ThreadSleep(uint32_t ms) { platform::SleepMs(ms); }
