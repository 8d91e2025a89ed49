// The window of a hosting program's own texts.
#include "net/send_window.h"

#include <algorithm>
#include <chrono>

namespace {

// A stop request is seen within this time even when no room is made.
constexpr auto kStopCheck = std::chrono::milliseconds(50);

}  // namespace

void SendWindow::Restart() {
  std::lock_guard lock(mutex_);
  taken_ = handedBack_ = 0;
}

bool SendWindow::WaitForRoom(int32_t timeoutMs, const std::atomic<bool>& stop) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(mutex_);
  while (taken_ - handedBack_ >= bytes_) {
    const auto now = std::chrono::steady_clock::now();
    if (stop || now >= end) return false;
    roomMade_.wait_until(lock, std::min(end, now + kStopCheck));
  }
  return true;
}

void SendWindow::Take(size_t bytes) {
  std::lock_guard lock(mutex_);
  taken_ += bytes;
}

void SendWindow::HandBack(size_t bytes) {
  if (bytes == 0) return;
  {
    std::lock_guard lock(mutex_);
    handedBack_ += bytes;
  }
  roomMade_.notify_all();
}
