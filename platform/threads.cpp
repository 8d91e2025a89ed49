// pthread mutexes and threads behind the runtime's lock and thread layer.
#include "platform/threads.h"

#include <pthread.h>
#include <unistd.h>

#include <cstring>
#include <new>

namespace platform {

struct NativeLock {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;  // the normal, non-recursive kind
};

static_assert(sizeof(pthread_t) <= sizeof(NativeThread));

namespace {

NativeThread FromPthread(pthread_t id) {
  NativeThread value = 0;
  std::memcpy(&value, &id, sizeof id);
  return value;
}

pthread_t ToPthread(NativeThread value) {
  pthread_t id;
  std::memcpy(&id, &value, sizeof id);
  return id;
}

}  // namespace

NativeLock* CreateNativeLock() { return new (std::nothrow) NativeLock; }

void DestroyNativeLock(NativeLock* lock) {
  pthread_mutex_destroy(&lock->mutex);
  delete lock;
}

void AcquireNativeLock(NativeLock* lock) { pthread_mutex_lock(&lock->mutex); }

void ReleaseNativeLock(NativeLock* lock) { pthread_mutex_unlock(&lock->mutex); }

// Kept per thread: the id never changes, and asking the kernel costs a system call per lock.
uint32_t CurrentThreadId() {
  thread_local const uint32_t id = uint32_t(gettid());
  return id;
}

bool StartNativeThread(ThreadEntry entry, void* argument, bool joinable, NativeThread* thread) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_attr_setdetachstate(&attributes,
                              joinable ? PTHREAD_CREATE_JOINABLE : PTHREAD_CREATE_DETACHED);
  pthread_t id;
  bool started = pthread_create(&id, &attributes, entry, argument) == 0;
  pthread_attr_destroy(&attributes);
  if (started && joinable) *thread = FromPthread(id);
  return started;
}

bool JoinNativeThread(NativeThread thread, void** result) {
  return pthread_join(ToPthread(thread), result) == 0;
}

}  // namespace platform
