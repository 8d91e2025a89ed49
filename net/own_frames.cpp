// The host's own frames, bounded like a socket.
#include "net/own_frames.h"

#include <algorithm>
#include <chrono>

namespace {

// A stop request is seen within this time even when no room is made.
constexpr auto kStopCheck = std::chrono::milliseconds(50);

}  // namespace

void OwnFrames::Clear() {
  std::lock_guard lock(mutex_);
  frames_.clear();
  bytes_ = 0;
}

bool OwnFrames::Push(std::vector<uint8_t> frame, int32_t waitMs, const std::atomic<bool>& stop) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  std::unique_lock lock(mutex_);
  while (bytes_ + frame.size() > capacity_) {
    const auto now = std::chrono::steady_clock::now();
    if (stop || now >= end) return false;
    roomMade_.wait_until(lock, std::min(end, now + kStopCheck));
  }
  if (stop) return false;
  bytes_ += frame.size();
  frames_.push_back(std::move(frame));
  frameCame_.notify_one();
  return true;
}

std::optional<std::vector<uint8_t>> OwnFrames::Take() {
  std::optional<std::vector<uint8_t>> frame;
  {
    std::lock_guard lock(mutex_);
    if (frames_.empty()) return frame;
    frame = std::move(frames_.front());
    frames_.pop_front();
    bytes_ -= frame->size();
  }
  roomMade_.notify_all();
  return frame;
}

void OwnFrames::WaitForFrame(int32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  frameCame_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [this] { return !frames_.empty(); });
}
