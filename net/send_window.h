// Flow control between a hosting program's commands and its own network thread. The host's own
// player reaches the group through the host's connection to itself, whose other end that same
// thread reads; so the thread must never be the one that stops reading it (it also sends its
// joins on it), and the player's texts must not pile up in it either. Instead a hosting program
// keeps at most a window of text bytes on the way, and the thread hands the room back as it takes
// them up, holding it back while a receiver those texts fed is past its high water mark.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

class SendWindow {
 public:
  explicit SendWindow(size_t bytes) : bytes_(bytes) {}

  // A new group: nothing on the way.
  void Restart();
  // Waits until the window has room, for at most timeoutMs; false when the time ran out or stop
  // was set meanwhile.
  bool WaitForRoom(int32_t timeoutMs, const std::atomic<bool>& stop);
  // Counted before the bytes go out, so the thread can never hand back more than was taken;
  // bytes that did not go out whole are handed back by the sender.
  void Take(size_t bytes);
  void HandBack(size_t bytes);

 private:
  std::mutex mutex_;
  std::condition_variable roomMade_;
  const size_t bytes_;
  uint64_t taken_ = 0;
  uint64_t handedBack_ = 0;
};
