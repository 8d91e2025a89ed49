// The mutex and thread layer: a non-recursive mutex that knows its holder, threads started with
// a routine and one argument, joined through small handle numbers, and sleeping. The runtime
// guards its network record with one such mutex and runs the network thread through it.
// Every operation answers by its result only.
#pragma once

#include <cstdint>

// The results, numbered as POSIX numbered them where this layer began (not Linux's own errno
// values: Linux's EDEADLK is 35).
inline constexpr int32_t kThreadSuccess = 0;
inline constexpr int32_t kThreadNotPermitted = 1;
inline constexpr int32_t kThreadOutOfMemory = 12;
inline constexpr int32_t kThreadInvalidArgument = 22;
inline constexpr int32_t kThreadDeadlock = 36;

// Callers keep a Mutex (null = none) and pass its address to every operation.
struct MutexBlock;
using Mutex = MutexBlock*;

// 0; 22 for a null address; 12 when memory runs out.
int32_t MutexInit(Mutex* mutex);
// Waits for the mutex. 0; 22 for a null address or mutex; 36 when the caller already holds
// it (it stays held once: one unlock frees it).
int32_t MutexLock(Mutex* mutex);
// 0; 22 for a null address or mutex; 1 when the caller does not hold it (nothing changes).
int32_t MutexUnlock(Mutex* mutex);
// Frees the mutex and nulls the caller's handle. 0; 22 for a null address or mutex. A mutex the
// caller holds is freed too; one another thread holds is freed once that thread lets it go.
int32_t MutexDestroy(Mutex* mutex);

// A thread's work; what it returns becomes the thread's exit code.
using ThreadRoutine = uint32_t (*)(void* argument);

// Starts routine(argument). With keepHandle the answer is a handle for ThreadJoin (from 1 up);
// without it the thread runs detached and the answer is 0. -1 when no thread could be started
// (no memory for its start: errno ENOMEM).
int32_t ThreadCreate(ThreadRoutine routine, void* argument, bool keepHandle);

// What every started thread runs first: takes the routine and argument out of the start block,
// frees the block and calls the routine.
void* ThreadTrampoline(void* startBlock);

// Waits for the thread's end and stores its exit code when exitCode is not null; the handle is
// then used up. 0; 22 for a handle that is not a live kept thread, or when the wait fails.
int32_t ThreadJoin(int32_t handle, uint32_t* exitCode);

// Gives the rest of the time slice to another thread.
void ThreadYield();
// Sleeps at least ms milliseconds (the fake clock's sleep in tests).
void ThreadSleep(uint32_t ms);
