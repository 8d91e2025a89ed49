// The host's own frames, bounded like a socket.
#include "net/own_frames.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "net/net_message.h"

namespace {

// A stop request is seen within this time even when no room is made.
constexpr auto kStopCheck = std::chrono::milliseconds(50);

}  // namespace

OwnFrames::OwnFrames(size_t bytes)
    : capacity_(bytes), wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

OwnFrames::~OwnFrames() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

// Called under the mutex whenever the queue turns empty or stops being empty, so the descriptor is
// readable exactly while frames wait.
void OwnFrames::Signal(bool framesWait) {
  if (wakeFd_ < 0) return;
  eventfd_t count = 1;
  const ssize_t done = framesWait ? write(wakeFd_, &count, sizeof count)
                                  : read(wakeFd_, &count, sizeof count);
  (void)done;  // a failure only leaves the thread to its next cycle
}

void OwnFrames::Clear() {
  std::lock_guard lock(mutex_);
  if (!frames_.empty()) Signal(false);
  frames_.clear();
  bytes_ = 0;
  textsHeld_ = false;
}

bool OwnFrames::Push(std::vector<uint8_t> frame, int32_t waitMs, const std::atomic<bool>& stop) {
  const bool text = !frame.empty() && frame[0] == kNetText;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  std::unique_lock lock(mutex_);
  while (bytes_ + frame.size() > capacity_ || (text && textsHeld_)) {
    const auto now = std::chrono::steady_clock::now();
    if (stop || now >= end) return false;
    roomMade_.wait_until(lock, std::min(end, now + kStopCheck));
  }
  if (stop) return false;
  if (frames_.empty()) Signal(true);
  bytes_ += frame.size();
  frames_.push_back(std::move(frame));
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
    if (frames_.empty()) Signal(false);
  }
  roomMade_.notify_all();
  return frame;
}

void OwnFrames::HoldTexts(bool hold) {
  {
    std::lock_guard lock(mutex_);
    textsHeld_ = hold;
  }
  if (!hold) roomMade_.notify_all();
}
