// The mutex's result codes across two threads, mutual exclusion, and threads delivering their
// results through join.
#include "system/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {

// Runs body on a second thread and waits for it: the mutex answers depend on the caller.
template <typename Body>
auto OnOtherThread(Body body) {
  return std::async(std::launch::async, body).get();
}

}  // namespace

TEST(Mutex, AnswersItsCodesForHolderAndOthers) {
  Mutex m = nullptr;
  ASSERT_EQ(MutexInit(&m), kThreadSuccess);
  ASSERT_NE(m, nullptr);

  EXPECT_EQ(MutexLock(&m), kThreadSuccess);
  EXPECT_EQ(MutexLock(&m), kThreadDeadlock);  // and does not wait
  EXPECT_EQ(OnOtherThread([&] { return MutexUnlock(&m); }), kThreadNotPermitted);
  EXPECT_EQ(MutexUnlock(&m), kThreadSuccess);  // held once only, and still by this thread
  EXPECT_EQ(MutexUnlock(&m), kThreadNotPermitted);

  EXPECT_EQ(OnOtherThread([&] { return MutexLock(&m) * 100 + MutexUnlock(&m); }), 0);

  EXPECT_EQ(MutexDestroy(&m), kThreadSuccess);
  EXPECT_EQ(m, nullptr);
  EXPECT_EQ(MutexLock(&m), kThreadInvalidArgument);
  EXPECT_EQ(MutexUnlock(&m), kThreadInvalidArgument);
  EXPECT_EQ(MutexDestroy(&m), kThreadInvalidArgument);
  for (auto operation : {MutexInit, MutexLock, MutexUnlock, MutexDestroy}) {
    EXPECT_EQ(operation(nullptr), kThreadInvalidArgument);
  }
}

TEST(Mutex, KeepsOthersOutWhileHeld) {
  Mutex m = nullptr;
  ASSERT_EQ(MutexInit(&m), kThreadSuccess);
  int64_t counter = 0;  // deliberately not atomic: only the mutex protects it
  auto work = [&] {
    for (int i = 0; i < 5000; ++i) {
      ASSERT_EQ(MutexLock(&m), kThreadSuccess);
      ++counter;
      ASSERT_EQ(MutexUnlock(&m), kThreadSuccess);
    }
  };
  std::thread a(work), b(work), c(work);
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(counter, 15000);
  EXPECT_EQ(MutexDestroy(&m), kThreadSuccess);
}

// The shutdown locks the network mutex and then destroys it.
TEST(Mutex, DestroyWhileHeldByTheCaller) {
  Mutex m = nullptr;
  ASSERT_EQ(MutexInit(&m), kThreadSuccess);
  ASSERT_EQ(MutexLock(&m), kThreadSuccess);
  EXPECT_EQ(MutexDestroy(&m), kThreadSuccess);
  EXPECT_EQ(m, nullptr);
}

namespace {

uint32_t ReturnArgument(void* argument) { return uint32_t(reinterpret_cast<uintptr_t>(argument)); }

uint32_t FulfilPromise(void* argument) {
  static_cast<std::promise<int>*>(argument)->set_value(7);
  return 0;
}

struct SelfJoin {
  std::promise<int32_t> handle;
  std::promise<int32_t> result;
};

uint32_t JoinOwnHandle(void* argument) {
  auto* self = static_cast<SelfJoin*>(argument);
  self->result.set_value(ThreadJoin(self->handle.get_future().get(), nullptr));
  return 3;
}

}  // namespace

TEST(Threads, JoinDeliversTheRoutinesResultOnce) {
  int32_t handle = ThreadCreate(ReturnArgument, reinterpret_cast<void*>(uintptr_t(0xFFFFFFFEu)), true);
  ASSERT_GT(handle, 0);
  int32_t second = ThreadCreate(ReturnArgument, reinterpret_cast<void*>(uintptr_t(5)), true);
  ASSERT_GT(second, 0);
  EXPECT_NE(second, handle);

  uint32_t exitCode = 0;
  EXPECT_EQ(ThreadJoin(handle, &exitCode), kThreadSuccess);
  EXPECT_EQ(exitCode, 0xFFFFFFFEu);
  EXPECT_EQ(ThreadJoin(handle, &exitCode), kThreadInvalidArgument);
  EXPECT_EQ(ThreadJoin(second, nullptr), kThreadSuccess);
  for (int32_t unknown : {0, -1, 100000}) {
    EXPECT_EQ(ThreadJoin(unknown, &exitCode), kThreadInvalidArgument) << unknown;
  }
}

TEST(Threads, DetachedThreadsStillRun) {
  std::promise<int> ran;
  EXPECT_EQ(ThreadCreate(FulfilPromise, &ran, false), 0);
  EXPECT_EQ(ran.get_future().get(), 7);
  EXPECT_EQ(ThreadCreate(nullptr, nullptr, true), -1);
}

// A refused wait leaves the handle good for the next join.
TEST(Threads, AThreadCannotJoinItself) {
  SelfJoin self;
  int32_t handle = ThreadCreate(JoinOwnHandle, &self, true);
  ASSERT_GT(handle, 0);
  self.handle.set_value(handle);
  EXPECT_EQ(self.result.get_future().get(), kThreadInvalidArgument);
  uint32_t exitCode = 0;
  EXPECT_EQ(ThreadJoin(handle, &exitCode), kThreadSuccess);
  EXPECT_EQ(exitCode, 3u);
}
