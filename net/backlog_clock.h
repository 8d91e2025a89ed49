// The group's one flow-control rule, kept by every receiver that texts pile up for: a client's
// output on the host, and the texts waiting behind a local player's full inbox. A receiver past
// its high water mark holds back whatever feeds it until it is down to half of it; one that stays
// past the mark for its hold limit is given up (a client dropped, a player's texts dropped).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The high water mark of every receiver unless a session is tuned otherwise.
inline constexpr int32_t kNetHighWaterBytes = 256 * 1024;

class BacklogClock {
 public:
  void Grew(size_t bytes, size_t highWater, double nowMs) {
    if (bytes > highWater && !since_) since_ = nowMs;
  }
  void Shrank(size_t bytes, size_t highWater) {
    if (bytes <= highWater / 2) since_.reset();
  }
  bool Pressed() const { return since_.has_value(); }
  bool Overdue(double nowMs, double limitMs) const { return since_ && nowMs - *since_ > limitMs; }

 private:
  std::optional<double> since_;  // since when the backlog has been past the mark
};
