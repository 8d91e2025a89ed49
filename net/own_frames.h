// A hosting program's own frames on their way to its network thread: the joins' answers aside,
// everything the host's players send (texts, queries, deletes, farewells), in the order they were
// sent. It is to the host's own program what a client's socket is to that client: bounded, so a
// sender waits for room when the thread falls behind. The thread takes every frame as it comes,
// so queries and deletes never wait behind texts; while what the host's texts fed is past its
// mark, new texts wait here instead, as a held-back client's sender waits in its own socket.
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
  explicit OwnFrames(size_t bytes);
  ~OwnFrames();
  OwnFrames(const OwnFrames&) = delete;
  OwnFrames& operator=(const OwnFrames&) = delete;

  // A new group: nothing on the way, nothing held.
  void Clear();
  // Waits for room, and a text also while texts are held, for at most waitMs (0: not at all);
  // false when it could not go in time or stop was set meanwhile.
  bool Push(std::vector<uint8_t> frame, int32_t waitMs, const std::atomic<bool>& stop);
  std::optional<std::vector<uint8_t>> Take();
  void HoldTexts(bool hold);
  // Readable while frames wait, so the thread can wait for them beside its sockets; -1 when the
  // system gave none (the thread then finds them at its next cycle).
  int WakeFd() const { return wakeFd_; }

 private:
  void Signal(bool framesWait);

  std::mutex mutex_;
  std::condition_variable roomMade_;
  const size_t capacity_;
  std::deque<std::vector<uint8_t>> frames_;
  size_t bytes_ = 0;
  bool textsHeld_ = false;
  const int wakeFd_;
};
