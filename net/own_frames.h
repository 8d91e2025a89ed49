// A hosting program's own frames on their way to its network thread: the joins' answers aside,
// everything the host's players send (texts, queries, deletes, farewells), in the order they were
// sent. It is to the host's own program what a client's socket is to that client: bounded, so a
// sender whose frames the thread holds back waits for room as any client's sender does, and read
// by the thread one frame per turn like any client row.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

class OwnFrames {
 public:
  explicit OwnFrames(size_t bytes) : capacity_(bytes) {}

  // A new group: nothing on the way.
  void Clear();
  // Waits for room for at most waitMs (0: not at all); false when none came in time or stop was
  // set meanwhile.
  bool Push(std::vector<uint8_t> frame, int32_t waitMs, const std::atomic<bool>& stop);
  std::optional<std::vector<uint8_t>> Take();
  // The thread's pause: ends early when a frame comes.
  void WaitForFrame(int32_t timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable roomMade_;
  std::condition_variable frameCame_;
  const size_t capacity_;
  std::deque<std::vector<uint8_t>> frames_;
  size_t bytes_ = 0;
};
