// What a group session's commands and its network thread share: the tuning, the network mutex
// and the state it guards, the stop request, and on a host its own players' frames on the way to
// the thread. Internal to the group code; programs use NetSession.
#pragma once

#include <atomic>
#include <cassert>

#include "net/group_rules.h"
#include "net/net_session.h"
#include "net/own_frames.h"
#include "system/threads.h"

// A few dozen full texts of the host's own players on the way to its thread.
inline constexpr size_t kOwnFrameBytes = 32 * 1024;
static_assert(kOwnFrameBytes >= kNetHeaderSize + kNetMaxPayload, "a whole frame must fit");

// The system's buffers on the way from the host to a client: the host's send buffer of each
// client row and the client's receive buffer of its connection. While a local player's waiting
// texts hold a client's connection back, everything behind them waits in the host's output,
// under its high water mark, and in these two buffers; kept small, so a join or query answer
// waits only briefly.
inline constexpr int32_t kNetConnectionBufferBytes = 32 * 1024;

struct NetSessionCore {
  explicit NetSessionCore(const NetTuning& groupTuning) : tuning(groupTuning) {}

  const NetTuning tuning;
  Mutex mutex = nullptr;
  NetGroupState state;           // guarded by mutex
  std::atomic<bool> stop{true};  // read by sends without the mutex
  OwnFrames ownFrames{kOwnFrameBytes};
};

// Holds the network mutex for a scope. The mutex is not recursive: a second lock by the holder
// would return at once and leave the state unguarded, hence the check.
class NetLock {
 public:
  explicit NetLock(NetSessionCore& core) : mutex_(core.mutex) {
    [[maybe_unused]] const int32_t result = MutexLock(&mutex_);
    assert(result == kThreadSuccess);
  }
  ~NetLock() { MutexUnlock(&mutex_); }
  NetLock(const NetLock&) = delete;
  NetLock& operator=(const NetLock&) = delete;

 private:
  Mutex& mutex_;
};

// Closes the group's rows and releases its start reference, when no thread owns them.
void CloseGroupSockets(NetSessionCore& core);

// The network thread's routine; its argument is the session's core.
uint32_t NetSessionThread(void* core);
