// Locks and threads: stand in for the Windows critical section, CreateThread, the wait for a
// thread's end and GetCurrentThreadId, backed by POSIX threads.
//
// What Linux cannot do the same way: a critical section may be entered again by its holder,
// while this lock may not (a relock by the holder waits forever); the layer above refuses such
// a relock before it reaches the lock. A thread's identity is an opaque 64-bit value, not a
// small integer, so the layer above hands out its own numbers for the threads it keeps.
//
// Test seams: none needed; sleeping is in platform/clock.h and follows the fake clock.
#pragma once

#include <cstdint>

namespace platform {

struct NativeLock;

// Null when memory runs out.
NativeLock* CreateNativeLock();
// The lock must be free.
void DestroyNativeLock(NativeLock* lock);
// Waits until the lock is free, then holds it.
void AcquireNativeLock(NativeLock* lock);
// Only by the thread that holds it.
void ReleaseNativeLock(NativeLock* lock);

// The calling thread's id: never 0, and no two live threads of the process share one.
uint32_t CurrentThreadId();

using ThreadEntry = void* (*)(void* argument);
using NativeThread = uint64_t;

// Starts entry(argument) on a new thread. Joinable: *thread receives the value to join it with,
// exactly once; otherwise the thread runs detached. False when no thread could be started.
bool StartNativeThread(ThreadEntry entry, void* argument, bool joinable, NativeThread* thread);

// Waits for the thread to end and hands over what its entry returned. False when the wait is
// refused (a thread joining itself).
bool JoinNativeThread(NativeThread thread, void** result);

}  // namespace platform
